#include <QMessageBox>
#include <QtTest>

#include "app/HelpActions.h"
#include "support/RecordingShellService.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/Forms.h"
#include "ui/main/Product.h"

class TestHelpActions : public QObject
{
    Q_OBJECT

private slots:
    void aboutBoxNamesProductVersionNoticeAndMaker();
    void contentsBringsTheHelpPageForward();
    void visitWebSiteOpensTheMakersSite();
};

void TestHelpActions::aboutBoxNamesProductVersionNoticeAndMaker()
{
    QWidget owner;
    const std::unique_ptr<QMessageBox> box(aboutBox(&owner));
    QCOMPARE(box->parentWidget(), &owner);
    QCOMPARE(box->windowTitle(), "About " + Product::Name);
    const QString shown = box->text() + '\n' + box->informativeText();
    for (const QString& line : Product::about().split('\n'))
        QVERIFY2(shown.contains(line), qPrintable(line));
    QVERIFY(shown.contains(Product::WebSite));
    QVERIFY(shown.contains(Product::MailAddress));
    QCOMPARE(box->standardButtons(), QMessageBox::Ok);
}

void TestHelpActions::contentsBringsTheHelpPageForward()
{
    Forms forms;
    TDataEntryForm window(forms);
    // The Clients page needs the data module; this window has none.
    window.MainDataEntry->setCurrentWidget(window.CompaniesTabSheet);
    window.showMinimized();
    showHelpContents(window);
    QCOMPARE(window.MainDataEntry->currentWidget(), window.HelpSheet);
    QVERIFY(window.isVisible());
    QVERIFY(!window.isMinimized());
}

void TestHelpActions::visitWebSiteOpensTheMakersSite()
{
    RecordingShellService shell;
    shell.setResult(false);
    visitWebSite();
    QCOMPARE(shell.calls(), QList<RecordingShellService::Call>({{Product::WebSite, {}}}));
}

QTEST_MAIN(TestHelpActions)
#include "tst_helpactions.moc"
