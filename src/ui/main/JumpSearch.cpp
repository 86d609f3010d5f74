#include "ui/main/JumpSearch.h"

#include <algorithm>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "data/DataModule.h"
#include "data/RecordJump.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/MessageService.h"

namespace {

constexpr int KindRole = Qt::UserRole;
constexpr int IdRole = Qt::UserRole + 1;
// Rows read per tick while the texts are read anew: a few milliseconds each.
constexpr int SliceRows = 4000;

const char* const KindTitles[] = {"Companies", "Projects", "Subprojects", "People"};

} // namespace

TJumpSearch::TJumpSearch(Forms& forms, QWidget* parent)
    : QFrame(parent)
    , m_forms(forms)
{
    setObjectName(QStringLiteral("JumpSearch"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    hide();

    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName(QStringLiteral("SearchEdit"));
    SearchEdit->setPlaceholderText(QStringLiteral("Find a company, project, subproject or person"));
    SearchEdit->setClearButtonEnabled(true);
    SearchEdit->installEventFilter(this);
    connect(SearchEdit, &QLineEdit::textChanged, this, &TJumpSearch::SearchEditChange);

    StateLabel = new QLabel(this);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setWordWrap(true);

    ResultList = new QListWidget(this);
    ResultList->setObjectName(QStringLiteral("ResultList"));
    ResultList->setFocusPolicy(Qt::NoFocus);
    ResultList->setUniformItemSizes(true);
    connect(ResultList, &QListWidget::itemActivated, this, &TJumpSearch::ResultListActivate);

    IndexTimer = new QTimer(this);
    IndexTimer->setObjectName(QStringLiteral("IndexTimer"));
    IndexTimer->setInterval(0);
    connect(IndexTimer, &QTimer::timeout, this, &TJumpSearch::IndexTimerTimer);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(SearchEdit);
    layout->addWidget(StateLabel);
    layout->addWidget(ResultList, 1);
}

void TJumpSearch::open()
{
    if (!isVisible())
        m_returnFocus = QApplication::focusWidget();
    QWidget* window = parentWidget();
    const int width = std::min(640, window->width() - 20);
    setGeometry((window->width() - width) / 2, 30, width, std::min(420, window->height() - 60));
    SearchEdit->clear();
    ResultList->clear();
    StateLabel->setText(QStringLiteral("Type a part of a name, code, phone number or e-mail address; "
                                       "Enter goes there, Esc closes."));
    show();
    raise();
    SearchEdit->setFocus();
    IndexTimerTimer();
}

void TJumpSearch::IndexTimerTimer()
{
    bool done = false;
    if (!guarded([&] { done = m_forms.MainDataModule->searchIndex().readSome(SliceRows); })) {
        IndexTimer->stop();
        finish();
        return;
    }
    if (!done) {
        StateLabel->setText(QStringLiteral("Indexing…"));
        IndexTimer->start();
        return;
    }
    IndexTimer->stop();
    SearchEditChange();
}

void TJumpSearch::SearchEditChange()
{
    SearchIndex& index = m_forms.MainDataModule->searchIndex();
    // Each new query looks at the file's writes since the last one.
    if (!index.upToDate() && !IndexTimer->isActive())
        IndexTimer->start();
    showResult(index.search(SearchEdit->text(), Limit));
}

void TJumpSearch::showResult(const SearchIndex::Result& result)
{
    ResultList->clear();
    int total = 0;
    for (int k = 0; k < SearchIndex::KindCount; ++k) {
        const auto& hits = result.hits[size_t(k)];
        total += result.counts[size_t(k)];
        if (hits.empty())
            continue;
        const int count = result.counts[size_t(k)];
        auto* heading = new QListWidgetItem(count > int(hits.size())
                                                ? QStringLiteral("%1 (first %2 of %3)").arg(QLatin1String(KindTitles[k])).arg(hits.size()).arg(count)
                                                : QStringLiteral("%1 (%2)").arg(QLatin1String(KindTitles[k])).arg(count),
                                            ResultList);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        // Readable, but never chosen.
        heading->setFlags(Qt::ItemIsEnabled);
        for (const SearchIndex::Hit& hit : hits) {
            const QString text = hit.detail.isEmpty() ? hit.name : hit.name + QStringLiteral("  —  ") + hit.detail;
            auto* item = new QListWidgetItem(QStringLiteral("    ") + text, ResultList);
            item->setData(KindRole, int(hit.kind));
            item->setData(IdRole, hit.id);
            item->setToolTip(text);
        }
    }
    if (IndexTimer->isActive())
        StateLabel->setText(QStringLiteral("Indexing…"));
    else if (SearchEdit->text().trimmed().isEmpty())
        StateLabel->setText(QStringLiteral("Type a part of a name, code, phone number or e-mail address; "
                                           "Enter goes there, Esc closes."));
    else
        StateLabel->setText(total == 0   ? QStringLiteral("No matches.")
                            : total == 1 ? QStringLiteral("1 match.")
                                         : QStringLiteral("%1 matches.").arg(total));
    moveChoice(1);
}

void TJumpSearch::moveChoice(int step)
{
    const int row = ResultList->currentRow();
    // From nothing chosen, the first match; headings are stepped over.
    if (row < 0)
        step = 1;
    for (int r = std::max(row, -1) + step; r >= 0 && r < ResultList->count(); r += step) {
        if (ResultList->item(r)->flags() & Qt::ItemIsSelectable) {
            ResultList->setCurrentRow(r);
            return;
        }
    }
}

void TJumpSearch::ResultListActivate()
{
    QListWidgetItem* item = ResultList->currentItem();
    if (!item || !(item->flags() & Qt::ItemIsSelectable))
        return;
    const auto kind = SearchIndex::Kind(item->data(KindRole).toInt());
    const qint64 id = item->data(IdRole).toLongLong();
    bool found = false;
    // A pending change that cannot be saved stops the jump with its message; the box closes
    // so the user is back on the change.
    const bool ran = guarded([&] { found = jumpToRecord(*m_forms.MainDataModule, kind, id); });
    finish();
    if (!ran)
        return;
    if (!found) {
        MessageService::current().showMessage(
            QStringLiteral("That record cannot be shown: it is no longer in the file, or it belongs to no company."));
        return;
    }
    emit jumped(kind);
}

void TJumpSearch::finish()
{
    IndexTimer->stop();
    hide();
    if (m_returnFocus)
        m_returnFocus->setFocus();
    m_returnFocus = nullptr;
}

bool TJumpSearch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SearchEdit && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
            moveChoice(-1);
            return true;
        case Qt::Key_Down:
            moveChoice(1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ResultListActivate();
            return true;
        case Qt::Key_Escape:
            finish();
            return true;
        default:
            break;
        }
    }
    if (watched == SearchEdit && event->type() == QEvent::FocusOut && isVisible()
        && !isAncestorOf(QApplication::focusWidget()))
        // Clicking elsewhere in the window leaves the search, as Esc does.
        QTimer::singleShot(0, this, [this] { if (isVisible() && !isAncestorOf(QApplication::focusWidget())) finish(); });
    return QFrame::eventFilter(watched, event);
}
