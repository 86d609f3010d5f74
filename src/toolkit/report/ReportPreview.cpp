#include "toolkit/report/ReportPreview.h"

#include <algorithm>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QProgressDialog>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/FileDialogService.h"
#include "toolkit/report/PageView.h"
#include "toolkit/report/ReportOutput.h"

namespace {
constexpr qreal ZoomStep = 1.25;
constexpr qreal MinZoom = 0.1;
constexpr qreal MaxZoom = 8;
// How long the layout may keep the user waiting before events are handled.
constexpr int SliceMs = 30;
}

ReportPreview::ReportPreview(const QString& caption, Producer producer, QWidget* parent)
    : QDialog(parent, Qt::Window), m_caption(caption), m_producer(std::move(producer))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Preview - %1").arg(caption));
    setModal(true);

    Scroll = new QScrollArea(this);
    Scroll->setObjectName(QStringLiteral("Scroll"));
    Scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Scroll->setBackgroundRole(QPalette::Dark);
    View = new PageView;
    Scroll->setWidget(View);
    Scroll->setWidgetResizable(false);
    Scroll->viewport()->installEventFilter(this);

    buildToolBar();

    StatusLabel = new QLabel(this);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 0);
    Progress->setMaximumWidth(160);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &ReportPreview::cancelProduction);

    auto* status = new QHBoxLayout;
    status->addWidget(FindEdit);
    for (QAction* a : {FindNextAction, FindPreviousAction}) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(a);
        status->addWidget(button);
    }
    status->addSpacing(12);
    status->addWidget(StatusLabel, 1);
    status->addWidget(Progress);
    status->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(ToolBar);
    layout->addWidget(Scroll, 1);
    layout->addLayout(status);

    resize(std::max(900, layout->contentsMargins().left() + ToolBar->sizeHint().width() + layout->contentsMargins().right()), 980);
    updateControls();
}

ReportPreview::~ReportPreview() = default;

QAction* ReportPreview::makeAction(const QString& text, const QKeySequence& key, void (ReportPreview::*slot)())
{
    auto* action = new QAction(text, this);
    if (!key.isEmpty())
        action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QWidget::addAction(action);
    if (slot)
        connect(action, &QAction::triggered, this, slot);
    return action;
}

void ReportPreview::buildToolBar()
{
    ToolBar = new QToolBar(this);
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);

    FirstAction = makeAction(QStringLiteral("First"), QKeySequence(Qt::CTRL | Qt::Key_Home), &ReportPreview::firstPage);
    PriorAction = makeAction(QStringLiteral("Previous"), QKeySequence(Qt::Key_PageUp), &ReportPreview::previousPage);
    NextAction = makeAction(QStringLiteral("Next"), QKeySequence(Qt::Key_PageDown), &ReportPreview::nextPage);
    LastAction = makeAction(QStringLiteral("Last"), QKeySequence(Qt::CTRL | Qt::Key_End), &ReportPreview::lastPage);
    const QStyle* s = style();
    FirstAction->setIcon(s->standardIcon(QStyle::SP_MediaSkipBackward));
    PriorAction->setIcon(s->standardIcon(QStyle::SP_MediaSeekBackward));
    NextAction->setIcon(s->standardIcon(QStyle::SP_MediaSeekForward));
    LastAction->setIcon(s->standardIcon(QStyle::SP_MediaSkipForward));

    PageBox = new QSpinBox(this);
    PageBox->setObjectName(QStringLiteral("PageBox"));
    PageBox->setRange(0, 0);
    PageBox->setKeyboardTracking(false);
    PageBox->setAccessibleName(QStringLiteral("Page"));
    connect(PageBox, &QSpinBox::valueChanged, this, [this](int page) { showPage(page); });
    PageCountLabel = new QLabel(this);
    // Room for the largest page counts from the start, so the toolbar never grows past the
    // window and pushes commands into its overflow menu.
    PageBox->setMinimumWidth(PageBox->sizeHint().width() + PageBox->fontMetrics().horizontalAdvance(QStringLiteral("8888888")));
    PageCountLabel->setMinimumWidth(PageCountLabel->fontMetrics().horizontalAdvance(QStringLiteral(" of 8888888... ")));

    WholePageAction = makeAction(QStringLiteral("&Whole Page"), QKeySequence(Qt::CTRL | Qt::Key_0), nullptr);
    PageWidthAction = makeAction(QStringLiteral("Page &Width"), QKeySequence(Qt::CTRL | Qt::Key_9), nullptr);
    ActualSizeAction = makeAction(QStringLiteral("&100 %"), QKeySequence(Qt::CTRL | Qt::Key_1), nullptr);
    ZoomInAction = makeAction(QStringLiteral("Zoom &In"), QKeySequence::ZoomIn, &ReportPreview::zoomIn);
    ZoomOutAction = makeAction(QStringLiteral("Zoom &Out"), QKeySequence::ZoomOut, &ReportPreview::zoomOut);
    connect(WholePageAction, &QAction::triggered, this, [this] { setZoomMode(ZoomMode::WholePage); });
    connect(PageWidthAction, &QAction::triggered, this, [this] { setZoomMode(ZoomMode::PageWidth); });
    connect(ActualSizeAction, &QAction::triggered, this, [this] { setZoomMode(ZoomMode::Factor, 1); });
    ZoomLabel = new QLabel(this);
    ZoomLabel->setMinimumWidth(ZoomLabel->fontMetrics().horizontalAdvance(QStringLiteral("8888 %")));

    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindEdit->setPlaceholderText(QStringLiteral("Find text"));
    FindEdit->setClearButtonEnabled(true);
    FindEdit->setMaximumWidth(220);
    connect(FindEdit, &QLineEdit::returnPressed, this, [this] { findText(FindEdit->text(), true); });
    FindAction = makeAction(QStringLiteral("&Find"), QKeySequence::Find, nullptr);
    connect(FindAction, &QAction::triggered, this, [this] {
        FindEdit->setFocus(Qt::ShortcutFocusReason);
        FindEdit->selectAll();
    });
    FindNextAction = makeAction(QStringLiteral("Find &Next"), QKeySequence(Qt::Key_F3), nullptr);
    FindPreviousAction = makeAction(QStringLiteral("Find Pre&vious"), QKeySequence(Qt::SHIFT | Qt::Key_F3), nullptr);
    connect(FindNextAction, &QAction::triggered, this, [this] { findText(FindEdit->text(), true); });
    connect(FindPreviousAction, &QAction::triggered, this, [this] { findText(FindEdit->text(), false); });

    PrintAction = makeAction(QStringLiteral("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P), &ReportPreview::printReport);
    ExportPdfAction = makeAction(QStringLiteral("&Export PDF..."), QKeySequence(), &ReportPreview::exportPdfFile);
    CloseAction = makeAction(QStringLiteral("C&lose"), QKeySequence(), nullptr);
    connect(CloseAction, &QAction::triggered, this, &ReportPreview::reject);

    for (QAction* a : {FirstAction, PriorAction})
        ToolBar->addAction(a);
    ToolBar->addWidget(PageBox);
    ToolBar->addWidget(PageCountLabel);
    for (QAction* a : {NextAction, LastAction})
        ToolBar->addAction(a);
    ToolBar->addSeparator();
    for (QAction* a : {WholePageAction, PageWidthAction, ActualSizeAction, ZoomOutAction, ZoomInAction})
        ToolBar->addAction(a);
    ToolBar->addWidget(ZoomLabel);
    ToolBar->addSeparator();
    for (QAction* a : {PrintAction, ExportPdfAction, CloseAction})
        ToolBar->addAction(a);
    for (QAction* a : actions())
        if (!a->shortcut().isEmpty())
            a->setToolTip(QStringLiteral("%1 (%2)").arg(a->text().remove(u'&'), a->shortcut().toString(QKeySequence::NativeText)));
}

// Production.

void ReportPreview::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_state == State::Waiting)
        QTimer::singleShot(0, this, &ReportPreview::produce);
}

void ReportPreview::produce()
{
    if (m_state != State::Waiting)
        return;
    m_state = State::Producing;
    updateControls();
    m_sinceEvents.start();
    const bool ok = guarded([this] { m_producer(*this); });
    m_state = !ok ? State::Failed : m_cancelRequested ? State::Cancelled : State::Complete;
    updateControls();
    if (!ok || m_closeRequested)
        QDialog::reject();
}

void ReportPreview::addPage(ReportPage page)
{
    m_pages.push_back(std::move(page));
    if (m_current == 0)
        showPage(1);
    updateControls();
}

bool ReportPreview::keepGoing()
{
    if (m_sinceEvents.elapsed() >= SliceMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.restart();
    }
    return !m_cancelRequested;
}

void ReportPreview::cancelProduction()
{
    if (producing())
        m_cancelRequested = true;
}

void ReportPreview::reject()
{
    if (producing()) {
        m_cancelRequested = m_closeRequested = true;
        return;
    }
    QDialog::reject();
}

void ReportPreview::closeEvent(QCloseEvent* event)
{
    if (producing()) {
        m_cancelRequested = m_closeRequested = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// Paging.

void ReportPreview::showPage(int number)
{
    if (number < 1 || number > pageCount() || number == m_current)
        return;
    m_current = number;
    m_shown = m_pages.read(size_t(number - 1));
    View->setPage(&m_shown);
    applyZoom();
    Scroll->verticalScrollBar()->setValue(0);
    updateControls();
}

void ReportPreview::updateControls()
{
    const int count = pageCount();
    const bool more = producing();
    FirstAction->setEnabled(m_current > 1);
    PriorAction->setEnabled(m_current > 1);
    NextAction->setEnabled(m_current < count);
    LastAction->setEnabled(m_current < count);
    {
        const QSignalBlocker block(PageBox);
        PageBox->setRange(count > 0 ? 1 : 0, count);
        PageBox->setValue(m_current);
    }
    PageCountLabel->setText(QStringLiteral(" of %1%2 ").arg(count).arg(more ? QStringLiteral("...") : QString()));
    const bool ready = m_state == State::Complete || m_state == State::Cancelled;
    PrintAction->setEnabled(ready && count > 0);
    ExportPdfAction->setEnabled(ready && count > 0);
    Progress->setVisible(more);
    CancelButton->setVisible(more);
    if (more)
        StatusLabel->setText(QStringLiteral("Producing page %1...").arg(count + 1));
    else if (m_state == State::Cancelled)
        StatusLabel->setText(QStringLiteral("Cancelled: %1 page(s) produced.").arg(count));
    else if (m_state == State::Complete)
        StatusLabel->setText(QStringLiteral("%1 page(s).").arg(count));
}

// Zoom.

qreal ReportPreview::zoom() const
{
    return View->zoom();
}

void ReportPreview::setZoomMode(ZoomMode mode, qreal factor)
{
    m_zoomMode = mode;
    m_factor = std::clamp(factor, MinZoom, MaxZoom);
    applyZoom();
}

void ReportPreview::zoomIn()
{
    setZoomMode(ZoomMode::Factor, zoom() * ZoomStep);
}

void ReportPreview::zoomOut()
{
    setZoomMode(ZoomMode::Factor, zoom() / ZoomStep);
}

void ReportPreview::applyZoom()
{
    qreal factor = m_factor;
    if (const ReportPage* page = View->page(); page && m_zoomMode != ZoomMode::Factor) {
        const QSize room = Scroll->viewport()->size() - QSize(20, 20);
        const qreal perPoint = View->pixelsPerPoint();
        const qreal byWidth = (room.width() - Scroll->verticalScrollBar()->sizeHint().width() - 4) / (page->size.width() * perPoint);
        const qreal byHeight = room.height() / (page->size.height() * perPoint);
        factor = m_zoomMode == ZoomMode::PageWidth ? byWidth : std::min(room.width() / (page->size.width() * perPoint), byHeight);
        factor = std::clamp(factor, MinZoom, MaxZoom);
    }
    View->setZoom(factor);
    ZoomLabel->setText(QStringLiteral("%1 %").arg(qRound(factor * 100)));
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (m_zoomMode != ZoomMode::Factor)
        applyZoom();
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Scroll->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            if (delta > 0)
                zoomIn();
            else if (delta < 0)
                zoomOut();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Search.

bool ReportPreview::findText(const QString& text, bool forward)
{
    if (text != m_findText) {
        m_findText = text;
        m_hitPage = m_current - 1;
        m_hitItem = forward ? -1 : int(m_hitPage >= 0 ? m_pages.read(size_t(m_hitPage)).items.size() : 0);
    }
    if (text.isEmpty() || m_pages.empty())
        return false;
    const int pages = pageCount();
    int page = std::clamp(m_hitPage, 0, pages - 1);
    int item = m_hitItem;
    // Every page once, and the starting page once more for the hits before the last one.
    for (int visited = 0; visited <= pages; ++visited) {
        const std::vector<ReportPrimitive> items = m_pages.read(size_t(page)).items;
        for (item += forward ? 1 : -1; item >= 0 && item < int(items.size()); item += forward ? 1 : -1) {
            const ReportPrimitive& p = items[size_t(item)];
            if (p.kind == ReportPrimitive::Kind::Text && p.text.contains(text, Qt::CaseInsensitive)) {
                m_hitPage = page;
                m_hitItem = item;
                showPage(page + 1);
                View->setHighlight(p.clip.isValid() ? p.clip : p.rect);
                const QRect hit = View->toPixels(p.rect);
                Scroll->ensureVisible(hit.center().x(), hit.center().y(), hit.width() / 2 + 20, hit.height() / 2 + 20);
                StatusLabel->setText(QStringLiteral("Found on page %1.").arg(page + 1));
                return true;
            }
        }
        page = (page + (forward ? 1 : pages - 1)) % pages;
        item = forward ? -1 : int(m_pages.read(size_t(page)).items.size());
    }
    View->setHighlight(QRectF());
    StatusLabel->setText(QStringLiteral("\"%1\" was not found.").arg(text));
    return false;
}

// Output.

QPrinter& ReportPreview::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setDocName(m_caption);
        m_printer->setCopyCount(1);
        m_printer->setDuplex(QPrinter::DuplexNone);
        m_printer->setPageSize(QPageSize(QPageSize::Letter));
    }
    return *m_printer;
}

bool ReportPreview::askPrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, pageCount());
    return dialog.exec() == QDialog::Accepted;
}

void ReportPreview::printReport()
{
    if (m_pages.empty() || producing())
        return;
    QPrinter& p = printer();
    p.setFromTo(0, 0);
    if (!askPrinter(p))
        return;
    const bool range = p.printRange() == QPrinter::PageRange;
    guarded([&] { printPages(m_pages, p, range ? p.fromPage() : 0, range ? p.toPage() : 0); });
}

void ReportPreview::exportPdfFile()
{
    if (m_pages.empty() || producing())
        return;
    FileDialogService::SaveRequest request;
    request.caption = QStringLiteral("Export PDF");
    request.filter = QStringLiteral("PDF files|*.pdf");
    request.defaultExtension = QStringLiteral("pdf");
    request.directory = m_caption + QStringLiteral(".pdf");
    const QString path = FileDialogService::current().saveFileName(request);
    if (path.isEmpty())
        return;
    // Long reports take a while: the window paints and the user may stop it.
    QProgressDialog progress(QStringLiteral("Exporting %1...").arg(QFileInfo(path).fileName()), QStringLiteral("&Cancel"), 0,
                             int(m_pages.size()), this);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    bool written = false;
    const bool ok = guarded([&] {
        written = exportPdf(m_pages, path, m_caption, [&](int pages, int) {
            progress.setValue(pages);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    });
    if (ok)
        StatusLabel->setText(written ? QStringLiteral("Saved to %1.").arg(QFileInfo(path).fileName())
                                     : QStringLiteral("Export cancelled; nothing was written."));
}
