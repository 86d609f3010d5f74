#include "ui/main/DueForm.h"

#include <algorithm>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "data/DataModule.h"
#include "data/FollowUps.h"
#include "toolkit/db/Connection.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/MessageService.h"
#include "ui/main/DataEntry.h"
#include "ui/main/DueModel.h"

namespace {

const QString StartupKey = QStringLiteral("DueList/ShowAtStartup");

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TDueForm::TDueForm(Forms& forms, QWidget* parent, const QDate& today)
    : RecordListWindow(forms, parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint, "DueForm",
                       QStringLiteral("Due"), today)
{
    Model = new DueModel(*m_forms.MainDataModule->MainADOConnection(), m_today, this);
    buildLayout();
    reload();
}

TDueForm::~TDueForm() = default;

void TDueForm::buildLayout()
{
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));

    DueGrid = recordGrid(QStringLiteral("DueGrid"), Model, [this] { DueGridEnter(); });
    DueGrid->setWordWrap(false);
    DueGrid->horizontalHeader()->setStretchLastSection(false);
    const int widths[] = {86, 150, 130, 120, 300, 70};
    for (int c = 0; c < DueModel::ColumnCount; ++c)
        DueGrid->setColumnWidth(c, widths[c]);
    DueGrid->horizontalHeader()->setSectionResizeMode(DueModel::Text, QHeaderView::Stretch);

    KeysLabel = new QLabel(QStringLiteral("Enter: go to the client or subproject    Ctrl+D: done    "
                                          "Ctrl+1: a day later    Ctrl+7: a week later"),
                           this);
    KeysLabel->setObjectName(QStringLiteral("KeysLabel"));

    GoToButton = button(QStringLiteral("&Go to"), "GoToButton", this);
    DoneButton = button(QStringLiteral("&Done"), "DoneButton", this);
    DayButton = button(QStringLiteral("A d&ay later"), "DayButton", this);
    WeekButton = button(QStringLiteral("A &week later"), "WeekButton", this);
    CloseButton = button(QStringLiteral("Close"), "CloseButton", this);
    connect(GoToButton, &QPushButton::clicked, this, &TDueForm::DueGridEnter);
    connect(DoneButton, &QPushButton::clicked, this, &TDueForm::DoneButtonClick);
    connect(DayButton, &QPushButton::clicked, this, &TDueForm::DayButtonClick);
    connect(WeekButton, &QPushButton::clicked, this, &TDueForm::WeekButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    const std::pair<QKeySequence, void (TDueForm::*)()> keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_D), &TDueForm::DoneButtonClick},
                                                                  {QKeySequence(Qt::CTRL | Qt::Key_1), &TDueForm::DayButtonClick},
                                                                  {QKeySequence(Qt::CTRL | Qt::Key_7), &TDueForm::WeekButtonClick}};
    for (const auto& [key, handler] : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, this, handler);

    StartupCheck = new QCheckBox(QStringLiteral("&Show this list at start-up when something is due"), this);
    StartupCheck->setObjectName(QStringLiteral("StartupCheck"));
    StartupCheck->setChecked(showsAtStartup());
    connect(StartupCheck, &QCheckBox::clicked, this, &TDueForm::StartupCheckClick);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {GoToButton, DoneButton, DayButton, WeekButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CountLabel);
    layout->addWidget(DueGrid, 1);
    layout->addWidget(KeysLabel);
    layout->addLayout(buttons);
    layout->addWidget(StartupCheck);
    resize(900, 460);
}

bool TDueForm::showsAtStartup()
{
    return QSettings().value(StartupKey, true).toBool();
}

void TDueForm::setShowsAtStartup(bool shown)
{
    QSettings().setValue(StartupKey, shown);
}

bool TDueForm::wantedAtStartup(Connection& connection, const QDate& today)
{
    return showsAtStartup() && FollowUps::dueCount(connection, today) > 0;
}

void TDueForm::ShowAtStartup(Forms& forms)
{
    guarded([&] {
        if (!wantedAtStartup(*forms.MainDataModule->MainADOConnection(), QDate::currentDate()))
            return;
        TDueForm window(forms, forms.DataEntryForm);
        window.exec();
    });
}

qint64 TDueForm::selectedId() const
{
    const QModelIndex current = DueGrid->currentIndex();
    return current.isValid() ? Model->rowAt(current.row()).id : 0;
}

void TDueForm::reload()
{
    const int row = std::max(DueGrid->currentIndex().row(), 0);
    guarded([&] { Model->reload(row + 1); });
    const qint64 total = Model->total();
    CountLabel->setText(total == 0 ? QStringLiteral("Nothing is due.")
                                   : QStringLiteral("%1 follow-up%2 due today or earlier, oldest first.")
                                         .arg(total)
                                         .arg(total == 1 ? QString() : QStringLiteral("s")));
    if (Model->rowCount() > 0)
        DueGrid->setCurrentIndex(Model->index(std::min(row, Model->rowCount() - 1), 0));
    // Names shown whole where the window has room; a longer one keeps its tooltip.
    for (int c : {DueModel::Company, DueModel::Person, DueModel::SubProject}) {
        DueGrid->resizeColumnToContents(c);
        DueGrid->setColumnWidth(c, std::clamp(DueGrid->columnWidth(c), 120, 260));
    }
    for (QPushButton* b : {GoToButton, DoneButton, DayButton, WeekButton})
        b->setEnabled(Model->rowCount() > 0);
}

void TDueForm::changeSelected(const std::function<bool(qint64)>& change)
{
    const qint64 id = selectedId();
    if (id == 0)
        return;
    guarded([&] {
        if (!change(id))
            MessageService::current().showMessage(QStringLiteral("That follow-up is no longer in the file."));
    });
    reload();
    DueGrid->setFocus(Qt::OtherFocusReason);
}

void TDueForm::DoneButtonClick()
{
    changeSelected([this](qint64 id) { return FollowUps::markDone(*m_forms.MainDataModule->MainADOConnection(), id); });
}

void TDueForm::DayButtonClick()
{
    changeSelected([this](qint64 id) { return FollowUps::moveDue(*m_forms.MainDataModule->MainADOConnection(), id, 1); });
}

void TDueForm::WeekButtonClick()
{
    changeSelected([this](qint64 id) { return FollowUps::moveDue(*m_forms.MainDataModule->MainADOConnection(), id, 7); });
}

void TDueForm::StartupCheckClick()
{
    setShowsAtStartup(StartupCheck->isChecked());
}

void TDueForm::DueGridEnter()
{
    const QModelIndex current = DueGrid->currentIndex();
    if (!current.isValid())
        return;
    const FollowUps::DueRow row = Model->rowAt(current.row());
    // A follow-up about a person goes to the person; one about a subproject only, to the subproject.
    const bool person = row.personId != 0;
    guarded([&] {
        if (!showRecord(person ? SearchIndex::People : SearchIndex::SubProjects, person ? row.personId : row.subProjectId,
                        person ? TDataEntryForm::ClientsPage : TDataEntryForm::SubProjectsPage))
            MessageService::current().showMessage(QStringLiteral("That record is no longer in the file."));
    });
    // What was done there shows here.
    reload();
}
