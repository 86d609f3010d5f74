#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "toolkit/dialogs/PasswordDialog.h"
#include "toolkit/dialogs/PasswordService.h"

class TestPasswordDialog : public QObject
{
    Q_OBJECT

private slots:
    void typedPasswordIsMaskedAndEnterTakesIt();
    void escapeCancels();
    void serversReasonIsShownWhenAskedAgain();
};

void TestPasswordDialog::typedPasswordIsMaskedAndEnterTakesIt()
{
    // Through the program's own service, as start-up asks: the box is modal, so it is answered
    // from the event loop, and what it showed is checked once it is gone.
    bool masked = false;
    bool focused = false;
    bool okDefault = false;
    bool problemShown = true;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<PasswordDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        masked = dialog->PasswordEdit->echoMode() == QLineEdit::Password;
        focused = dialog->focusWidget() == dialog->PasswordEdit;
        okDefault = dialog->Buttons->button(QDialogButtonBox::Ok)->isDefault();
        problemShown = dialog->ProblemLabel->isVisible();
        QTest::keyClicks(dialog->PasswordEdit, QStringLiteral("s3cret 'x'"));
        QTest::keyClick(dialog->PasswordEdit, Qt::Key_Return);
    });
    const std::optional<QString> password =
        PasswordService::standard().askPassword(QStringLiteral("anna@crm.example.com/vornadel"), {});
    QCOMPARE(password, std::optional<QString>(QStringLiteral("s3cret 'x'")));
    QVERIFY(masked);
    QVERIFY(focused);
    QVERIFY(okDefault);
    QVERIFY(!problemShown);
}

void TestPasswordDialog::escapeCancels()
{
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            QTest::keyClicks(dialog->focusWidget(), QStringLiteral("abc"));
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        }
    });
    QCOMPARE(PasswordService::standard().askPassword(QStringLiteral("h/db"), {}), std::nullopt);
}

void TestPasswordDialog::serversReasonIsShownWhenAskedAgain()
{
    const QString reason = QStringLiteral("connection to server at \"127.0.0.1\", port 5432 failed: FATAL:  password "
                                          "authentication failed for user \"anna\"\n");
    PasswordDialog dialog(QStringLiteral("anna@127.0.0.1/vornadel"), reason);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.ProblemLabel->isVisible());
    QCOMPARE(dialog.ProblemLabel->text(), reason.trimmed());
    // Wrapped, never cut: every line of both texts lies inside the box.
    for (QLabel* label : {dialog.PromptLabel, dialog.ProblemLabel}) {
        QVERIFY(label->height() >= label->heightForWidth(label->width()));
        QVERIFY(label->geometry().right() <= dialog.width());
    }
}

QTEST_MAIN(TestPasswordDialog)
#include "tst_passworddialog.moc"
