#include <stdexcept>

#include <QtTest>

#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "support/RecordingMessageService.h"

class TestActionGuard : public QObject
{
    Q_OBJECT
private slots:
    void completedActionShowsNothing();
    void errorsShowTheirTextInTheErrorBox_data();
    void errorsShowTheirTextInTheErrorBox();
    void abortIsSilent();
    void workDoneBeforeTheErrorStays();
};

void TestActionGuard::completedActionShowsNothing()
{
    RecordingMessageService messages;
    bool ran = false;
    QVERIFY(guarded([&] { ran = true; }));
    QVERIFY(ran);
    QVERIFY(messages.entries().isEmpty());
}

void TestActionGuard::errorsShowTheirTextInTheErrorBox_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("store error") << 0 << QStringLiteral("no such column: Nmae");
    QTest::newRow("field error") << 1 << QStringLiteral("'+' is not a valid integer value");
    QTest::newRow("any other exception") << 2 << QStringLiteral("vector index out of range");
}

void TestActionGuard::errorsShowTheirTextInTheErrorBox()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    RecordingMessageService messages;
    const bool completed = guarded([&] {
        if (kind == 0)
            throw StoreError(text, 1, 1, QStringLiteral("SELECT Nmae FROM T"));
        if (kind == 1)
            throw FieldError(text);
        throw std::out_of_range(text.toStdString());
    });
    QVERIFY(!completed);
    QCOMPARE(messages.entries().size(), 1);
    const RecordingMessageService::Entry& shown = messages.entries().first();
    QCOMPARE(shown.kind, RecordingMessageService::Kind::Dialog);
    QCOMPARE(shown.type, MessageService::Type::Error);
    QCOMPARE(shown.buttons, MessageService::Buttons(QMessageBox::Ok));
    QCOMPARE(shown.text, text);
}

void TestActionGuard::abortIsSilent()
{
    RecordingMessageService messages;
    QVERIFY(!guarded([] { throw AbortAction(); }));
    QVERIFY(messages.entries().isEmpty());
}

void TestActionGuard::workDoneBeforeTheErrorStays()
{
    RecordingMessageService messages;
    QStringList pending;
    guarded([&] {
        pending.append(QStringLiteral("typed"));
        throw StoreError(QStringLiteral("database is locked"));
    });
    QCOMPARE(pending, QStringList{QStringLiteral("typed")});
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("database is locked")});
}

QTEST_MAIN(TestActionGuard)
#include "tst_actionguard.moc"
