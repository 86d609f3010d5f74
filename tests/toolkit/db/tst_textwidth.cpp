#include <QtTest>

#include "toolkit/db/TextWidth.h"

namespace {

const QString Smile = QString::fromUtf8("\xF0\x9F\x98\x80");          // one code point, two UTF-16 units
const QString EAcute = QStringLiteral("e\u0301");                      // a letter and its combining mark
const QString Flag = QString::fromUtf8("\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7");  // two regional indicators

}

class TestTextWidth : public QObject
{
    Q_OBJECT
private slots:
    void cutsToWholeCharacters_data();
    void cutsToWholeCharacters();
    void countsCodePoints();
};

void TestTextWidth::cutsToWholeCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("inUnits");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no width") << QStringLiteral("abc") << 0 << false << QStringLiteral("abc");
    QTest::newRow("fits") << QStringLiteral("abc") << 3 << false << QStringLiteral("abc");
    QTest::newRow("plain cut") << QStringLiteral("abcdef") << 4 << false << QStringLiteral("abcd");
    QTest::newRow("255 emoji fit 255") << Smile.repeated(255) << 255 << false << Smile.repeated(255);
    QTest::newRow("256 emoji to 255") << Smile.repeated(256) << 255 << false << Smile.repeated(255);
    QTest::newRow("letters then emoji") << QString(200, u'a') + Smile.repeated(60) << 255 << false
                                        << QString(200, u'a') + Smile.repeated(55);
    QTest::newRow("mark kept with its letter") << QStringLiteral("ab") + EAcute << 4 << false
                                               << QStringLiteral("ab") + EAcute;
    QTest::newRow("letter not parted from its mark") << QStringLiteral("ab") + EAcute + QStringLiteral("x") << 3
                                                     << false << QStringLiteral("ab");
    QTest::newRow("flag not halved") << QStringLiteral("a") + Flag << 2 << false << QStringLiteral("a");
    QTest::newRow("one letter with many marks") << QStringLiteral("a") + QString(10, QChar(0x0301)) << 5 << false
                                                << QString();
    QTest::newRow("units: pair not split") << QStringLiteral("ab") + Smile << 3 << true << QStringLiteral("ab");
    QTest::newRow("units: pair fits") << QStringLiteral("ab") + Smile << 4 << true << QStringLiteral("ab") + Smile;
    QTest::newRow("units: mark not parted") << QStringLiteral("x") + EAcute << 2 << true << QStringLiteral("x");
    QTest::newRow("units: zero") << QStringLiteral("abc") << 0 << true << QString();
}

void TestTextWidth::cutsToWholeCharacters()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(bool, inUnits);
    QFETCH(QString, expected);

    const QString result = inUnits ? TextWidth::cutUnits(text, limit) : TextWidth::cut(text, limit);
    QCOMPARE(result, expected);
    QVERIFY(text.startsWith(result));
}

void TestTextWidth::countsCodePoints()
{
    QCOMPARE(TextWidth::length(Smile.repeated(3) + QStringLiteral("ab")), 5);
    QCOMPARE(TextWidth::length(EAcute), 2);
    // A lone surrogate, as a broken file may hold, still counts as one.
    QCOMPARE(TextWidth::length(QString(QChar(0xD83D)) + QStringLiteral("a")), 2);
}

QTEST_GUILESS_MAIN(TestTextWidth)
#include "tst_textwidth.moc"
