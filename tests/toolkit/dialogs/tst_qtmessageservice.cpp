#include <functional>

#include <QAbstractButton>
#include <QtTest>

#include "toolkit/dialogs/QtMessageService.h"
#include "support/RecordingMessageService.h"

// Drives the real boxes: a zero timer finds the modal box once it runs and presses a button.
class TestQtMessageService : public QObject
{
    Q_OBJECT
private slots:
    void plainMessageHasOneOkButtonAndTheTitle();
    void dialogShowsTheToolkitCaptionsAndReturnsThePressedButton();
    void closingTheDialogGivesTheEscapeButton();
    void enterPressesTheChosenDefault();
    void questionShowsItsChoicesAndEscapeGivesTheLast();
    void deleteQuestionIsOkOrCancel();
    void installingAFakeReplacesTheServiceUntilItGoes();

private:
    void whenModal(const std::function<void(QMessageBox*)>& act);
};

void TestQtMessageService::whenModal(const std::function<void(QMessageBox*)>& act)
{
    QTimer::singleShot(0, this, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        act(box);
    });
}

void TestQtMessageService::plainMessageHasOneOkButtonAndTheTitle()
{
    MessageService::setTitle(QStringLiteral("Vornadel Lite"));
    QString caption;
    int buttons = 0;
    whenModal([&](QMessageBox* box) {
        caption = box->windowTitle();
        buttons = box->buttons().size();
        box->button(QMessageBox::Ok)->click();
    });
    QtMessageService().showMessage(QStringLiteral("Required field is empty."));
    QCOMPARE(caption, QStringLiteral("Vornadel Lite"));
    QCOMPARE(buttons, 1);
    MessageService::setTitle({});
}

void TestQtMessageService::dialogShowsTheToolkitCaptionsAndReturnsThePressedButton()
{
    QString noText, yesToAllText;
    whenModal([&](QMessageBox* box) {
        noText = box->button(QMessageBox::No)->text();
        yesToAllText = box->button(QMessageBox::YesToAll)->text();
        box->button(QMessageBox::YesToAll)->click();
    });
    const auto pressed = QtMessageService().messageDialog(QStringLiteral("Proceed?"), MessageService::Type::Warning,
                                                          QMessageBox::No | QMessageBox::YesToAll);
    QCOMPARE(pressed, QMessageBox::YesToAll);
    QCOMPARE(noText, QStringLiteral("&No"));
    QCOMPARE(yesToAllText, QStringLiteral("Yes to &All"));
}

void TestQtMessageService::closingTheDialogGivesTheEscapeButton()
{
    whenModal([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    const auto pressed = QtMessageService().messageDialog(QStringLiteral("Proceed?"), MessageService::Type::Warning,
                                                          QMessageBox::No | QMessageBox::YesToAll);
    QCOMPARE(pressed, QMessageBox::No);
}

void TestQtMessageService::enterPressesTheChosenDefault()
{
    whenModal([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    const auto pressed = QtMessageService().messageDialog(QStringLiteral("Proceed?"), MessageService::Type::Warning,
                                                          QMessageBox::No | QMessageBox::YesToAll, QMessageBox::No);
    QCOMPARE(pressed, QMessageBox::No);
}

void TestQtMessageService::questionShowsItsChoicesAndEscapeGivesTheLast()
{
    const QStringList choices{QStringLiteral("Make it"), QStringLiteral("Make a sample"), QStringLiteral("Quit")};
    QStringList shown;
    whenModal([&](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons())
            shown.append(button->text());
        QTest::keyClick(box, Qt::Key_Return);
    });
    QCOMPARE(QtMessageService().choose(QStringLiteral("No file."), MessageService::Type::Confirmation, choices), 0);
    shown.sort();
    QStringList sorted = choices;
    sorted.sort();
    QCOMPARE(shown, sorted);

    whenModal([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(QtMessageService().choose(QStringLiteral("No file."), MessageService::Type::Confirmation, choices), 2);

    whenModal([](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == u"Make a sample")
                button->click();
    });
    QCOMPARE(QtMessageService().choose(QStringLiteral("No file."), MessageService::Type::Confirmation, choices), 1);
}

void TestQtMessageService::deleteQuestionIsOkOrCancel()
{
    QString text;
    whenModal([&](QMessageBox* box) {
        text = box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!QtMessageService().confirmDelete(MessageService::deleteRecordQuestion()));
    QCOMPARE(text, QStringLiteral("Delete record?"));

    whenModal([](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    QVERIFY(QtMessageService().confirmDelete(QStringLiteral("Delete this row?")));

    // Enter keeps the record.
    whenModal([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    QVERIFY(!QtMessageService().confirmDelete(MessageService::deleteRecordQuestion()));
}

void TestQtMessageService::installingAFakeReplacesTheServiceUntilItGoes()
{
    MessageService* standard = &MessageService::current();
    {
        RecordingMessageService fake;
        QCOMPARE(&MessageService::current(), &fake);
        {
            RecordingMessageService inner;
            QCOMPARE(&MessageService::current(), &inner);
        }
        QCOMPARE(&MessageService::current(), &fake);
    }
    QCOMPARE(&MessageService::current(), standard);
}

QTEST_MAIN(TestQtMessageService)
#include "tst_qtmessageservice.moc"
