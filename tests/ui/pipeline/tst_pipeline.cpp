#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "support/MainWindowProbe.h"
#include "data/Pipeline.h"
#include "support/RecordingFileDialogService.h"
#include "support/RecordingPreviewService.h"
#include "ui/pipeline/Pipeline.h"
#include "ui/pipeline/PipelineModel.h"

namespace {

const QDate Today(2024, 6, 30);

class ProbePipeline : public TPipelineForm
{
public:
    ProbePipeline(Forms& forms, QList<ProbeRecord>& shows) : TPipelineForm(forms, nullptr, Today), m_data(forms), m_shows(shows) {}

protected:
    std::unique_ptr<TDataEntryForm> newDataEntryForm() override { return std::make_unique<MainWindowProbe>(m_data, m_shows); }

private:
    Forms& m_data;
    QList<ProbeRecord>& m_shows;
};

Pipeline::HistoryRow at(qint64 id, qint64 status, const QString& date)
{
    return {id, status, QStringLiteral("S%1").arg(status),
            date.isEmpty() ? QDateTime() : QDateTime::fromString(date, QStringLiteral("yyyy-MM-dd HH:mm"))};
}

QSettings settings()
{
    return QSettings(QStringLiteral("Vornadel"), QCoreApplication::applicationName());
}

} // namespace

Q_DECLARE_METATYPE(std::vector<Pipeline::HistoryRow>)

class TestPipeline : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void timeInStatus_data();
    void timeInStatus();
    void rowsShowWhereEachSaleStands();
    void countsFilterWhenClicked();
    void typeAndDecisionMakerFilters();
    void headerClickSortsAnyColumn();
    void longStandingRowsStandOutAfterTheSetDays();
    void selectedRowShowsItsTimeInStatus();
    void enterGoesToTheSubproject();
    void csvHoldsTheRowsShown();
    void printShowsTheRowsShownInThePreview();

private:
    QStringList column(Pipeline::Column c) const;
    QToolButton* countButton(QWidget* row, const QString& startsWith) const;

    std::unique_ptr<MainWindowFixture> m_f;
    std::unique_ptr<ProbePipeline> m_window;
    QList<ProbeRecord> m_shows;
};

void TestPipeline::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("tst_pipeline"));
}

void TestPipeline::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    // 27: one status row; 28: a tie on one date (the row entered last counts), a row dated
    // after today and one without a date; 29: no history.
    m_f->dm->MainADOConnection()->exec(QStringLiteral(
        "INSERT INTO SubProjectHistory (ID, SubProjectID, SubProjectStatusID, Date) VALUES"
        " (100, 28, 1, '2024-01-10 09:00:00'), (101, 28, 5, '2024-05-01 10:00:00'), (102, 28, 3, '2024-05-01 10:00:00'),"
        " (103, 28, 6, '2024-09-01 00:00:00'), (104, 28, 7, NULL);"
        "UPDATE Business SET SPDecisionMaker = 1 WHERE PersonID = 42;"
        "INSERT INTO Business (PersonID, SubProjectID, SPPurchaser, SPWeight) VALUES (41, 28, 1, 10);"));
    m_shows.clear();
    m_window = std::make_unique<ProbePipeline>(m_f->forms, m_shows);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_VERIFY(!m_window->ReadTimer->isActive());
}

void TestPipeline::cleanup()
{
    m_window.reset();
    m_f.reset();
}

QStringList TestPipeline::column(Pipeline::Column c) const
{
    QStringList out;
    for (int r = 0; r < m_window->Model->rowCount(); ++r)
        out << m_window->Model->index(r, c).data().toString();
    return out;
}

QToolButton* TestPipeline::countButton(QWidget* row, const QString& startsWith) const
{
    for (QToolButton* b : row->findChildren<QToolButton*>())
        if (b->text().startsWith(startsWith))
            return b;
    return nullptr;
}

void TestPipeline::timeInStatus_data()
{
    QTest::addColumn<std::vector<Pipeline::HistoryRow>>("history");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("last runs until today") << std::vector{at(1, 1, "2024-06-20 10:00")} << QStringList{"S1 2024-06-20 10"};
    QTest::newRow("gap between rows") << std::vector{at(1, 1, "2024-01-01 10:00"), at(2, 2, "2024-03-01 08:00")}
                                      << QStringList{"S1 2024-01-01 60", "S2 2024-03-01 121"};
    QTest::newRow("rows given out of order") << std::vector{at(2, 2, "2024-03-01 08:00"), at(1, 1, "2024-01-01 10:00")}
                                             << QStringList{"S1 2024-01-01 60", "S2 2024-03-01 121"};
    QTest::newRow("tie: the row entered last holds")
        << std::vector{at(7, 3, "2024-06-01 09:00"), at(5, 2, "2024-06-01 09:00")} << QStringList{"S2 2024-06-01 0", "S3 2024-06-01 29"};
    QTest::newRow("same day, later hour") << std::vector{at(1, 1, "2024-06-01 09:00"), at(2, 2, "2024-06-01 15:00")}
                                          << QStringList{"S1 2024-06-01 0", "S2 2024-06-01 29"};
    QTest::newRow("future row not reached yet") << std::vector{at(1, 1, "2024-06-01 09:00"), at(2, 6, "2024-08-01 09:00")}
                                                << QStringList{"S1 2024-06-01 29"};
    QTest::newRow("only future rows") << std::vector{at(1, 6, "2025-01-01 09:00")} << QStringList{};
    QTest::newRow("row without a date left out") << std::vector{at(1, 1, "2024-06-01 09:00"), at(2, 2, "")}
                                                 << QStringList{"S1 2024-06-01 29"};
    QTest::newRow("a status reached twice adds up")
        << std::vector{at(1, 1, "2024-01-01 00:00"), at(2, 8, "2024-01-11 00:00"), at(3, 1, "2024-06-20 00:00")}
        << QStringList{"S1 2024-01-01 20", "S8 2024-01-11 161"};
}

void TestPipeline::timeInStatus()
{
    QFETCH(std::vector<Pipeline::HistoryRow>, history);
    QFETCH(QStringList, expected);
    QStringList got;
    for (const Pipeline::StatusTime& t : Pipeline::timeInStatus(history, Today))
        got << QStringLiteral("%1 %2 %3").arg(t.status, t.firstReached.toString(QStringLiteral("yyyy-MM-dd"))).arg(t.days);
    QCOMPARE(got, expected);
}

void TestPipeline::rowsShowWhereEachSaleStands()
{
    // In company order, then by id: Acme's 27 and 29, Borealis's 28.
    QCOMPARE(column(Pipeline::SubProject), (QStringList{"Pilot", "Phase two", "Review"}));
    QCOMPARE(column(Pipeline::Company), (QStringList{"Acme", "Acme", "Borealis"}));
    QCOMPARE(column(Pipeline::Project), (QStringList{"Rollout", "Rollout", "Audit"}));
    QCOMPARE(column(Pipeline::Status), (QStringList{"Needs identified", "", "Qualified"}));
    QCOMPARE(column(Pipeline::Since), (QStringList{"2024-03-01", "", "2024-05-01"}));
    QCOMPARE(column(Pipeline::Days), (QStringList{"121", "", "60"}));
    QCOMPARE(column(Pipeline::People), (QStringList{"1", "0", "2"}));
    QCOMPARE(column(Pipeline::DecisionMaker), (QStringList{"No", "No", "Yes"}));
    QCOMPARE(column(Pipeline::Purchaser), (QStringList{"No", "No", "Yes"}));
    QCOMPARE(column(Pipeline::GateKeeper), (QStringList{"No", "No", "No"}));
    QCOMPARE(column(Pipeline::Weight), (QStringList{"50", "0", "80"}));
    QCOMPARE(m_window->ShownLabel->text(), QStringLiteral("3 of 3 subprojects shown"));
}

void TestPipeline::countsFilterWhenClicked()
{
    QToolButton* qualified = countButton(m_window->StatusCounts, QStringLiteral("Qualified"));
    QVERIFY(qualified);
    QCOMPARE(qualified->text(), QStringLiteral("Qualified: 1"));
    QCOMPARE(countButton(m_window->StatusCounts, QStringLiteral("No status"))->text(), QStringLiteral("No status: 1"));
    QTest::mouseClick(qualified, Qt::LeftButton);
    QCOMPARE(column(Pipeline::SubProject), QStringList{"Review"});
    QVERIFY(qualified->isChecked());
    QTest::mouseClick(qualified, Qt::LeftButton);
    QCOMPARE(column(Pipeline::SubProject).size(), 3);
    QVERIFY(!qualified->isChecked());

    QToolButton* size = countButton(m_window->SizeCounts, m_window->Model->rows()[0].size);
    QCOMPARE(size->text(), m_window->Model->rows()[0].size + QStringLiteral(": 3"));
    QTest::mouseClick(size, Qt::LeftButton);
    QCOMPARE(column(Pipeline::SubProject).size(), 3);
}

void TestPipeline::typeAndDecisionMakerFilters()
{
    m_window->TypeCombo->setCurrentIndex(m_window->TypeCombo->findData(qint64(2)));
    QCOMPARE(column(Pipeline::SubProject), QStringList{"Phase two"});
    m_window->TypeCombo->setCurrentIndex(0);
    QTest::mouseClick(m_window->NoDecisionMaker, Qt::LeftButton);
    QCOMPARE(column(Pipeline::SubProject), (QStringList{"Pilot", "Phase two"}));
    m_window->TypeCombo->setCurrentIndex(m_window->TypeCombo->findData(qint64(1)));
    QCOMPARE(column(Pipeline::SubProject), QStringList{"Pilot"});
    QCOMPARE(m_window->ShownLabel->text(), QStringLiteral("1 of 3 subprojects shown"));
}

void TestPipeline::headerClickSortsAnyColumn()
{
    QHeaderView* header = m_window->PipelineGrid->horizontalHeader();
    const auto clickHeader = [&](Pipeline::Column c) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(c) + 5, 5));
    };
    clickHeader(Pipeline::Days);
    QCOMPARE(column(Pipeline::Days), (QStringList{"", "60", "121"}));
    clickHeader(Pipeline::Days);
    QCOMPARE(column(Pipeline::Days), (QStringList{"121", "60", ""}));
    clickHeader(Pipeline::Weight);
    QCOMPARE(column(Pipeline::Weight), (QStringList{"0", "50", "80"}));
    clickHeader(Pipeline::SubProject);
    QCOMPARE(column(Pipeline::SubProject), (QStringList{"Phase two", "Pilot", "Review"}));
}

void TestPipeline::longStandingRowsStandOutAfterTheSetDays()
{
    const auto standsOut = [&](int row) { return m_window->Model->index(row, 0).data(Qt::BackgroundRole).isValid(); };
    QCOMPARE(m_window->DaysSpin->value(), 60);
    QVERIFY(standsOut(0));
    QVERIFY(!standsOut(1));
    QVERIFY(!standsOut(2));
    m_window->DaysSpin->setValue(59);
    QVERIFY(standsOut(2));
    QCOMPARE(settings().value(QStringLiteral("pipeline/standOutDays")).toInt(), 59);
    ProbePipeline again(m_f->forms, m_shows);
    QCOMPARE(again.DaysSpin->value(), 59);
}

void TestPipeline::selectedRowShowsItsTimeInStatus()
{
    m_window->PipelineGrid->setCurrentIndex(m_window->Model->index(2, 0));
    QStringList rows;
    for (int i = 0; i < m_window->TimeList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_window->TimeList->topLevelItem(i);
        rows << item->text(0) + QLatin1Char(' ') + item->text(1) + QLatin1Char(' ') + item->text(2);
    }
    QCOMPARE(rows, (QStringList{"First contact 2024-01-10 112", "Negotiation 2024-05-01 0", "Qualified 2024-05-01 60"}));
}

void TestPipeline::enterGoesToTheSubproject()
{
    m_window->PipelineGrid->setFocus();
    m_window->PipelineGrid->setCurrentIndex(m_window->Model->index(2, 0));
    QTest::keyClick(m_window->PipelineGrid, Qt::Key_Return);
    QCOMPARE(m_shows.size(), 1);
    QCOMPARE(m_shows[0].page, int(TDataEntryForm::SubProjectsPage));
    QCOMPARE(m_shows[0].company, QStringLiteral("5"));
    QCOMPARE(m_f->dm->SubProjectsDetail->text(QStringLiteral("SubProjectID")), QStringLiteral("28"));
    QCOMPARE(MainWindowProbe::alive, 0);
    QVERIFY(!m_window->ReadTimer->isActive());

    // What the user saves in the main window shows when it closes; the filter and the
    // subproject selected stay.
    QTest::mouseClick(m_window->NoDecisionMaker, Qt::LeftButton);
    m_window->PipelineGrid->setCurrentIndex(m_window->Model->index(1, 0));
    MainWindowProbe::duringShow = [this](MainWindowProbe&) {
        Dataset* history = m_f->dm->SubProjectHistoryQ;
        history->append();
        history->setValue(QStringLiteral("SubProjectStatusID"), 4);
        history->setValue(QStringLiteral("Date"), QDateTime(QDate(2024, 6, 10), QTime(9, 0)));
        history->post();
    };
    QTest::keyClick(m_window->PipelineGrid, Qt::Key_Return);
    MainWindowProbe::duringShow = nullptr;
    QTRY_VERIFY(!m_window->ReadTimer->isActive());
    QCOMPARE(column(Pipeline::SubProject), (QStringList{"Pilot", "Phase two"}));
    QCOMPARE(column(Pipeline::Status), (QStringList{"Needs identified", "Proposal sent"}));
    QCOMPARE(m_window->PipelineGrid->currentIndex().row(), 1);
    QVERIFY(m_window->NoDecisionMaker->isChecked());
    QVERIFY(m_f->messages.entries().isEmpty());
}

void TestPipeline::csvHoldsTheRowsShown()
{
    QTemporaryDir dir;
    RecordingFileDialogService files;
    const QString path = dir.filePath(QStringLiteral("pipeline.csv"));
    files.answerSave(path);
    QTest::mouseClick(m_window->NoDecisionMaker, Qt::LeftButton);
    QTest::mouseClick(m_window->ExportButton, Qt::LeftButton);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Company,Project,Subproject,Type,Size,Status,Since,Days,People,Decision maker,Purchaser,Gate keeper,Weight"));
    QVERIFY2(lines[1].startsWith(QStringLiteral("Acme,Rollout,Pilot,")), qPrintable(lines[1]));
    QVERIFY(lines[1].endsWith(QStringLiteral(",Needs identified,2024-03-01,121,1,No,No,No,50")));
    QVERIFY(lines[2].startsWith(QStringLiteral("Acme,Rollout,Phase two,")));
    QVERIFY(m_f->messages.entries().isEmpty());

    // A name that a spreadsheet would run as a formula is written as text.
    Pipeline::Row row;
    row.company = QStringLiteral("=HYPERLINK(\"http://x\")");
    row.project = QStringLiteral("+1");
    row.subProject = QStringLiteral("@SUM(A1)");
    file.close();
    Pipeline::writeCsv(path, {row}, {0});
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString guarded = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"))[1];
    QVERIFY2(guarded.startsWith(QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\")\",'+1,'@SUM(A1),")), qPrintable(guarded));
}

void TestPipeline::printShowsTheRowsShownInThePreview()
{
    RecordingPreviewService previews;
    QTest::mouseClick(countButton(m_window->StatusCounts, QStringLiteral("Qualified")), Qt::LeftButton);
    QTest::mouseClick(m_window->PrintButton, Qt::LeftButton);
    QCOMPARE(previews.runs(), 1);
    QCOMPARE(previews.pages().size(), size_t(1));
    const QStringList texts = previews.allTexts();
    for (const char* shown : {"Pipeline", "Decides", "Borealis", "Audit", "Review", "Qualified", "2024-05-01", "80"})
        QVERIFY2(texts.contains(QLatin1String(shown)), shown);
    QVERIFY(!texts.contains(QStringLiteral("Pilot")));
    QVERIFY(m_f->messages.entries().isEmpty());
}

QTEST_MAIN(TestPipeline)
#include "tst_pipeline.moc"
