#include <QFile>
#include <QLabel>
#include <QScrollArea>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolBar>
#include <QTest>

#include "ListCursor.h"
#include "support/RecordingFileDialogService.h"
#include "support/RecordingMessageService.h"
#include "toolkit/report/PageView.h"
#include "toolkit/report/ReportPreview.h"
#include "support/TestFiles.h"

namespace {

// Emoji beyond the first plane, from more than one font.
const QStringList Emoji{QString::fromUtf8("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x8E\x89"),
                        QString::fromUtf8("\xF0\x9F\xA6\x84")};

// The name RowsReport gives row i with emoji: every tenth ends in one.
QString rowName(int i, bool emoji)
{
    const QString name = QStringLiteral("row%1").arg(i);
    return emoji && i % 10 == 0 ? name + u' ' + Emoji[(i / 10) % Emoji.size()] : name;
}

// Rows "row1".."rowN", a 20 mm detail band each: about twelve to a page.
struct RowsReport
{
    explicit RowsReport(int count, bool emoji = false)
    {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names.append(rowName(i, emoji));
        rows = ListCursor(namedRows(names));
        def.caption = QStringLiteral("Rows");
        def.mainSource = QStringLiteral("rows");
        def.detail = ReportBand();
        def.detail->height = 20;
        def.detail->add(ReportElement::dataField(QStringLiteral("rows"), QStringLiteral("Name"), 10, 2));
        def.pageFooter = ReportBand();
        def.pageFooter->height = 6;
        def.pageFooter->add(ReportElement::label(QStringLiteral("Page"), 150, 0));
        def.pageFooter->add(ReportElement::system(ReportElement::Kind::PageNumber, QRectF(170, 0, 0, 0)));
    }
    ReportPreview::Producer producer()
    {
        return [this](PageSink& sink) { layoutReport(def, {{QStringLiteral("rows"), &rows}}, sink); };
    }
    ListCursor rows;
    ReportDefinition def;
};

// Runs a step when the cursor reaches a row, as a user's click handled between bands would.
struct SteppingCursor : ListCursor
{
    using ListCursor::ListCursor;
    int atRow = -1;
    std::function<void()> step;
    int moves = 0;
    void next() override
    {
        ListCursor::next();
        if (++moves == atRow && step)
            step();
    }
};

class PrinterProbe : public ReportPreview
{
public:
    using ReportPreview::ReportPreview;
    std::function<void(QPrinter&)> setUp;
    int asked = 0;

protected:
    bool askPrinter(QPrinter& printer) override
    {
        ++asked;
        setUp(printer);
        return true;
    }
};

void showActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestReportPreview : public QObject
{
    Q_OBJECT

private slots:
    void showsPagesAsTheyAreMadeAndNeverOneNotMade();
    void cancelStopsProducing();
    void everyCommandStaysInViewWithManyPages();
    void closingWhileProducingStopsThenCloses();
    void pagingZoomAndKeys();
    void findsTextAcrossPages();
    void exportsEveryPageToPdf();
    void aCancelledExportLeavesTheOldFile();
    void unwritablePdfSaysSoAndLeavesNoFile();
    void unusablePrinterGivesAMessageAndStaysOpen();
    void printsThroughTheSamePainter();
    void errorWhileProducingShowsTheBoxAndCloses();
};

void TestReportPreview::showsPagesAsTheyAreMadeAndNeverOneNotMade()
{
    RowsReport report(60);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    int pagesSeen = -1, currentSeen = -1;
    bool nextEnabled = true;
    // Midway through the second page: page 1 is on view, page 2 is not made yet.
    report.def.detail->add(ReportElement::picture(QStringLiteral("probe"), QRectF(0, 0, 1, 1), [&] {
        if (report.rows.text(QStringLiteral("Name")) == QLatin1String("row15")) {
            pagesSeen = preview.pageCount();
            currentSeen = preview.currentPage();
            preview.nextPage();
            QTest::keyClick(&preview, Qt::Key_End, Qt::ControlModifier);
            nextEnabled = preview.NextAction->isEnabled();
        }
        return ReportPicture();
    }));
    preview.produce();
    QCOMPARE(pagesSeen, 1);
    QCOMPARE(currentSeen, 1);
    QVERIFY(!nextEnabled);
    QVERIFY(preview.complete());
    QCOMPARE(preview.currentPage(), 1);
    QVERIFY(preview.pageCount() >= 5);
    QCOMPARE(preview.PageBox->maximum(), preview.pageCount());
    QVERIFY(preview.NextAction->isEnabled());
}

void TestReportPreview::everyCommandStaysInViewWithManyPages()
{
    RowsReport report(12 * 2000);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    const auto allInView = [&] {
        for (QAction* action : preview.ToolBar->actions()) {
            QWidget* shown = preview.ToolBar->widgetForAction(action);
            if (!action->isSeparator() && (!shown || !shown->isVisible()))
                return false;
        }
        return true;
    };
    int checks = 0;
    bool whileMaking = true;
    report.def.detail->add(ReportElement::picture(QStringLiteral("probe"), QRectF(0, 0, 1, 1), [&] {
        const QString row = report.rows.text(QStringLiteral("Name"));
        if (row == QLatin1String("row12") || row == QLatin1String("row12000")) {
            QApplication::processEvents();
            whileMaking = whileMaking && allInView();
            ++checks;
        }
        return ReportPicture();
    }));
    showActive(preview);
    preview.produce();
    QVERIFY(preview.pageCount() >= 1000);
    QApplication::processEvents();
    QCOMPARE(checks, 2);
    QVERIFY(whileMaking);
    QVERIFY(allInView());
}

void TestReportPreview::cancelStopsProducing()
{
    RowsReport report(0);
    QStringList names;
    for (int i = 1; i <= 5000; ++i)
        names.append(QString::number(i));
    SteppingCursor rows(namedRows(names));
    ReportPreview preview(QStringLiteral("Rows"), [&](PageSink& sink) {
        layoutReport(report.def, {{QStringLiteral("rows"), &rows}}, sink);
    });
    rows.atRow = 40;
    rows.step = [&] {
        QVERIFY(preview.CancelButton->isVisible());
        QTest::mouseClick(preview.CancelButton, Qt::LeftButton);
    };
    // Showing starts the production.
    showActive(preview);
    QVERIFY(preview.cancelled());
    // The band being placed finishes and nothing after it.
    QCOMPARE(rows.moves, 40);
    QVERIFY(preview.pageCount() >= 2 && preview.pageCount() <= 4);
    QVERIFY(!preview.CancelButton->isVisible());
    QVERIFY(preview.ExportPdfAction->isEnabled());
    QVERIFY(preview.isVisible());
}

void TestReportPreview::closingWhileProducingStopsThenCloses()
{
    RowsReport report(0);
    QStringList names;
    for (int i = 1; i <= 2000; ++i)
        names.append(QString::number(i));
    SteppingCursor rows(namedRows(names));
    ReportPreview preview(QStringLiteral("Rows"), [&](PageSink& sink) {
        layoutReport(report.def, {{QStringLiteral("rows"), &rows}}, sink);
    });
    rows.atRow = 20;
    rows.step = [&] { QTest::keyClick(&preview, Qt::Key_Escape); };
    preview.show();
    preview.produce();
    QCOMPARE(rows.moves, 20);
    QVERIFY(!preview.isVisible());
}

void TestReportPreview::pagingZoomAndKeys()
{
    RowsReport report(60);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    showActive(preview);
    preview.produce();
    const int count = preview.pageCount();
    QTest::keyClick(&preview, Qt::Key_PageDown);
    QCOMPARE(preview.currentPage(), 2);
    QTest::keyClick(&preview, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(preview.currentPage(), count);
    QTest::keyClick(&preview, Qt::Key_PageDown);
    QCOMPARE(preview.currentPage(), count);
    QTest::keyClick(&preview, Qt::Key_PageUp);
    QCOMPARE(preview.currentPage(), count - 1);
    preview.PageBox->setValue(2);
    QCOMPARE(preview.currentPage(), 2);
    QTest::keyClick(&preview, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(preview.currentPage(), 1);

    preview.ActualSizeAction->trigger();
    QCOMPARE(preview.zoom(), 1.0);
    preview.ZoomInAction->trigger();
    QCOMPARE(preview.zoom(), 1.25);
    QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), {}, QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(preview.Scroll->viewport(), &wheel);
    QCOMPARE(preview.zoom(), 1.0);
    preview.WholePageAction->trigger();
    const qreal whole = preview.zoom();
    preview.PageWidthAction->trigger();
    QVERIFY(preview.zoom() > whole);
    // Whole page: the page fits the view.
    preview.WholePageAction->trigger();
    QVERIFY(preview.View->height() <= preview.Scroll->viewport()->height());
}

void TestReportPreview::findsTextAcrossPages()
{
    RowsReport report(60);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    showActive(preview);
    preview.produce();
    QTest::keyClick(&preview, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), preview.FindEdit);
    QTest::keyClicks(preview.FindEdit, QStringLiteral("ROW25"));
    QTest::keyClick(preview.FindEdit, Qt::Key_Return);
    const int page = preview.currentPage();
    QVERIFY(page > 1);
    // F3 finds the next hit, wrapping round to the only one again; Shift+F3 goes back.
    QTest::keyClick(&preview, Qt::Key_F3);
    QCOMPARE(preview.currentPage(), page);
    QTest::keyClick(&preview, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(preview.currentPage(), page);
    // Backwards from the first page wraps round to the last.
    preview.firstPage();
    QVERIFY(preview.findText(QStringLiteral("row60"), false));
    QCOMPARE(preview.currentPage(), preview.pageCount());
    QVERIFY(!preview.findText(QStringLiteral("nowhere")));
    QVERIFY(preview.StatusLabel->text().contains(QLatin1String("not found")));
}

void TestReportPreview::exportsEveryPageToPdf()
{
    QTemporaryDir dir;
    RecordingMessageService messages;
    RecordingFileDialogService files;
    const QString path = dir.filePath(QStringLiteral("rows.pdf"));
    files.answerSave(dir.filePath(QStringLiteral("rows")));
    RowsReport report(60, true);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    preview.produce();
    preview.ExportPdfAction->trigger();
    QCOMPARE(files.requests().size(), 1);
    QCOMPARE(files.requests()[0].defaultExtension, QStringLiteral("pdf"));
    QCOMPARE(messages.entries().size(), 0);
    QVERIFY(QFile::exists(path));
    const QStringList pages = pdfText(path).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), preview.pageCount());
    QVERIFY(pages.first().contains(QLatin1String("row1")));
    QVERIFY(pages.last().contains(QLatin1String("row60")));
    QVERIFY(pages.last().contains(QRegularExpression(QStringLiteral("Page +%1").arg(preview.pageCount()))));
    const QString text = pages.join(u'\f');
    for (int i = 10; i <= 60; i += 10)
        QVERIFY2(text.contains(rowName(i, true)), qPrintable(rowName(i, true)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"rows.pdf"}));
}

void TestReportPreview::aCancelledExportLeavesTheOldFile()
{
    QTemporaryDir dir;
    RecordingMessageService messages;
    const QString path = dir.filePath(QStringLiteral("rows.pdf"));
    QVERIFY(writeFile(path, "the last month's report"));
    RecordingFileDialogService files;
    files.answerSave(path);
    RowsReport report(12 * 200);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    showActive(preview);
    preview.produce();
    // The export shows its progress with a Cancel button, and the preview keeps answering.
    int progressSeen = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &preview, [&] {
        if (auto* progress = preview.findChild<QProgressDialog*>(QStringLiteral("ExportProgress"))) {
            if (progress->value() > 10 && ++progressSeen == 1)
                progress->cancel();
        }
    });
    poll.start(0);
    preview.ExportPdfAction->trigger();
    poll.stop();
    QCOMPARE(progressSeen, 1);
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("the last month's report"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"rows.pdf"}));
    QCOMPARE(preview.StatusLabel->text(), QStringLiteral("Export cancelled; nothing was written."));
}

void TestReportPreview::unwritablePdfSaysSoAndLeavesNoFile()
{
    QTemporaryDir dir;
    RecordingMessageService messages;
    const QString path = dir.filePath(QStringLiteral("missing/rows.pdf"));
    RecordingFileDialogService files;
    files.answerSave(path);
    RowsReport report(3);
    ReportPreview preview(QStringLiteral("Rows"), report.producer());
    showActive(preview);
    preview.produce();
    preview.ExportPdfAction->trigger();
    QCOMPARE(messages.entries().size(), 1);
    QCOMPARE(messages.entries()[0].type, MessageService::Type::Error);
    QVERIFY(messages.entries()[0].text.contains(QLatin1String("rows.pdf")));
    QVERIFY(!QFile::exists(path));
    QVERIFY(preview.isVisible());
}

void TestReportPreview::unusablePrinterGivesAMessageAndStaysOpen()
{
    RecordingMessageService messages;
    RowsReport report(3);
    PrinterProbe preview(QStringLiteral("Rows"), report.producer());
    preview.setUp = [](QPrinter& printer) { printer.setPrinterName(QStringLiteral("No Such Printer 4711")); };
    showActive(preview);
    preview.produce();
    QTest::keyClick(&preview, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(preview.asked, 1);
    QCOMPARE(messages.entries().size(), 1);
    QCOMPARE(messages.entries()[0].type, MessageService::Type::Error);
    QVERIFY(messages.entries()[0].text.contains(QLatin1String("printer")));
    QVERIFY(preview.isVisible());
}

void TestReportPreview::printsThroughTheSamePainter()
{
    QTemporaryDir dir;
    RecordingMessageService messages;
    RowsReport report(60, true);
    PrinterProbe preview(QStringLiteral("Rows"), report.producer());
    const QString path = dir.filePath(QStringLiteral("printed.pdf"));
    preview.setUp = [&](QPrinter& printer) {
        printer.setOutputFileName(path);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
    };
    preview.produce();
    preview.printReport();
    QVERIFY(messages.entries().isEmpty());
    const QStringList pages = pdfText(path).split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QRegularExpression(QStringLiteral("Page +2"))));
    QVERIFY(pages[1].contains(QRegularExpression(QStringLiteral("Page +3"))));
    // The rows with emoji on the printed pages are found on the page of the file they print on.
    int found = 0;
    for (const int page : {2, 3})
        for (const ReportPrimitive& p : preview.pages().read(size_t(page - 1)).items)
            if (p.text.contains(QLatin1String(" "))) {
                QVERIFY2(pages[page - 2].contains(p.text), qPrintable(p.text));
                ++found;
            }
    QVERIFY(found >= 2);
}

void TestReportPreview::errorWhileProducingShowsTheBoxAndCloses()
{
    RecordingMessageService messages;
    RowsReport report(40);
    SteppingCursor rows(namedRows(QStringList(40, QStringLiteral("x"))));
    rows.atRow = 20;
    rows.step = [] { throw std::runtime_error("disk I/O error"); };
    ReportPreview preview(QStringLiteral("Rows"), [&](PageSink& sink) {
        layoutReport(report.def, {{QStringLiteral("rows"), &rows}}, sink);
    });
    preview.show();
    preview.produce();
    QCOMPARE(messages.texts(), QStringList({"disk I/O error"}));
    QCOMPARE(messages.entries()[0].type, MessageService::Type::Error);
    QVERIFY(!preview.isVisible());
}

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
