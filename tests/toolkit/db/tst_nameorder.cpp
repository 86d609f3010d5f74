#include <QProcess>
#include <QtTest>

#include "support/DatasetTables.h"

// Names sorted by a query's COLLATE NAMES, in the locale given, as the list reports ask for them.
class TestNameOrder : public QObject
{
    Q_OBJECT
private slots:
    void namesSortIgnoringCaseAndAccents_data();
    void namesSortIgnoringCaseAndAccents();
    void theFileStaysReadableWithoutTheProgram();
};

void TestNameOrder::namesSortIgnoringCaseAndAccents_data()
{
    QTest::addColumn<QString>("locale");
    QTest::newRow("bare C locale") << "C";
    QTest::newRow("English") << "en_GB";
    QTest::newRow("German") << "de_DE";
}

void TestNameOrder::namesSortIgnoringCaseAndAccents()
{
    QFETCH(QString, locale);
    // The comparison reads the locale once per thread: each locale runs in a thread of its own.
    QStringList sorted;
    QThread* worker = QThread::create([&] {
        QLocale::setDefault(QLocale(locale));
        DatasetTables t;
        for (const char* name : {"Zeta", "acme", "\xC3\x89" "clair", "Bob", "eagle", "\xC3\xA9" "cole", "Acme", "zebra",
                                 "\xC3\x85" "ngstr" "\xC3\xB6" "m", "Ernst"}) {
            Statement insert(t.db(), QStringLiteral("INSERT INTO Companies (Name) VALUES (?)"));
            insert.bind(1, QString::fromUtf8(name));
            insert.step();
        }
        Statement rows(t.db(), QStringLiteral("SELECT Name FROM Companies ORDER BY Name COLLATE NAMES"));
        while (rows.step())
            sorted.append(rows.value(0).toString());
    });
    worker->start();
    worker->wait();
    delete worker;
    QLocale::setDefault(QLocale::c());
    QCOMPARE(sorted.size(), 10);
    // Case and accents never decide between different letters.
    const auto at = [&](const char* name) { return sorted.indexOf(QString::fromUtf8(name)); };
    QVERIFY2(at("Zeta") > at("\xC3\x89" "clair") && at("zebra") > at("Ernst"), qPrintable(sorted.join(u',')));
    QVERIFY2(at("\xC3\x85" "ngstr" "\xC3\xB6" "m") < at("Bob"), qPrintable(sorted.join(u',')));
    QVERIFY2(at("eagle") < at("\xC3\x89" "clair") && at("\xC3\x89" "clair") < at("\xC3\xA9" "cole")
                 && at("\xC3\xA9" "cole") < at("Ernst"),
             qPrintable(sorted.join(u',')));
    QVERIFY2(at("Bob") < at("eagle") && at("zebra") < at("Zeta"), qPrintable(sorted.join(u',')));
    // Names equal but for case keep one order, the same every time.
    QVERIFY2(qAbs(at("acme") - at("Acme")) == 1 && qMax(at("acme"), at("Acme")) < at("\xC3\x85" "ngstr" "\xC3\xB6" "m"),
             qPrintable(sorted.join(u',')));
}

void TestNameOrder::theFileStaysReadableWithoutTheProgram()
{
    DatasetTables t;
    Statement rows(t.db(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%NAMES%'"));
    QVERIFY(rows.step());
    QCOMPARE(rows.value(0).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestNameOrder)
#include "tst_nameorder.moc"
