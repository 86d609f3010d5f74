#include <QFile>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "support/TestDatabase.h"
#include "toolkit/chart/DBChart.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"

class TestDBChart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rereadTakesEveryRowAndLeavesTheDatasetAlone();
    void rereadIgnoredWhileClosed();
    void printRectKeepsProportionsWithinMargins();
    void printsTheChartOnOnePage();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Dataset> m_rows;
    std::unique_ptr<DataSource> m_source;
    std::unique_ptr<DBChart> m_chart;
};

void TestDBChart::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_db->exec(QStringLiteral("CREATE TABLE W (ID INTEGER PRIMARY KEY, Name VARCHAR(20), Weight INTEGER);"
                              "INSERT INTO W VALUES (1, 'Ann', 30), (2, 'Bob', NULL), (3, '', 10);"));
    m_rows = std::make_unique<Dataset>(&m_db->db(), QStringLiteral("W"));
    m_rows->setTableName(QStringLiteral("W"));
    m_rows->open();
    m_source = std::make_unique<DataSource>(m_rows.get());
    m_chart = std::make_unique<DBChart>();
    m_chart->resize(300, 200);
    m_chart->setSeries(m_source.get(), QStringLiteral("Weight"), QStringLiteral("Name"));
}

void TestDBChart::cleanup()
{
    m_chart.reset();
    m_source.reset();
    m_rows.reset();
    m_db.reset();
}

void TestDBChart::rereadTakesEveryRowAndLeavesTheDatasetAlone()
{
    m_rows->next();
    QSignalSpy notices(m_source.get(), &DataSource::dataChanged);
    m_chart->refreshData();
    m_chart->refreshData();
    QCOMPARE(notices.count(), 0);
    QCOMPARE(m_rows->recNo(), 1);
    const QVector<PieSlice>& slices = m_chart->slices();
    QCOMPARE(slices.size(), 3);
    QCOMPARE(slices[0].value.toInt(), 30);
    QCOMPARE(slices[0].label, QStringLiteral("Ann"));
    QVERIFY(slices[1].value.isNull());
    QCOMPARE(slices[2].label, QString());
}

void TestDBChart::rereadIgnoredWhileClosed()
{
    m_chart->refreshData();
    m_rows->close();
    m_chart->refreshData();
    QCOMPARE(m_chart->slices().size(), 3);
}

void TestDBChart::printRectKeepsProportionsWithinMargins()
{
    QCOMPARE(DBChart::printRect(QRectF(0, 0, 1000, 800), QSizeF(200, 100)), QRectF(150, 225, 700, 350));
    QCOMPARE(DBChart::printRect(QRectF(0, 0, 1000, 800), QSizeF(100, 400)), QRectF(430, 120, 140, 560));
}

void TestDBChart::printsTheChartOnOnePage()
{
    m_chart->refreshData();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    m_chart->print(printer);
    QFile pdf(path);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page/"), 1);
}

QTEST_MAIN(TestDBChart)
#include "tst_dbchart.moc"
