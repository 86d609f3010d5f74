#include <functional>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include "toolkit/dialogs/QtFileDialogService.h"
#include "support/TestFiles.h"

// Drives the real Qt dialogs the program's file choices go through.
class TestQtFileDialogService : public QObject
{
    Q_OBJECT

private slots:
    void aNameWithoutSuffixIsAskedAboutAsTheRealFile_data();
    void aNameWithoutSuffixIsAskedAboutAsTheRealFile();
    void openDialogShowsTheFilterAsNameAndPatterns();

private:
    template<class Dialog>
    void whenModal(const std::function<void(Dialog*)>& act)
    {
        QTimer::singleShot(0, this, [act] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            act(dialog);
        });
    }
};

void TestQtFileDialogService::aNameWithoutSuffixIsAskedAboutAsTheRealFile_data()
{
    QTest::addColumn<bool>("replace");
    QTest::newRow("keep the old file") << false;
    QTest::newRow("replace it") << true;
}

void TestQtFileDialogService::aNameWithoutSuffixIsAskedAboutAsTheRealFile()
{
    QFETCH(bool, replace);
    QTemporaryDir dir;
    const QString existing = dir.filePath(QStringLiteral("report.pdf"));
    QVERIFY(writeFile(existing, "last month"));
    QString question;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        whenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("report"));
        QMetaObject::invokeMethod(dialog, "accept");
        // Answering No leaves the dialog open for another name; the user gives up.
        if (dialog->isVisible())
            dialog->reject();
    });
    FileDialogService::SaveRequest request;
    request.caption = QStringLiteral("Export PDF");
    request.filter = QStringLiteral("PDF files|*.pdf");
    request.defaultExtension = QStringLiteral("pdf");
    request.directory = dir.path();
    QtFileDialogService files;
    const QString chosen = files.saveFileName(request);
    QVERIFY2(question.startsWith(QLatin1String("report.pdf already exists")), qPrintable(question));
    QCOMPARE(QFileInfo(chosen).fileName(), replace ? QStringLiteral("report.pdf") : QString());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("report"))));
}

void TestQtFileDialogService::openDialogShowsTheFilterAsNameAndPatterns()
{
    QStringList filters;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        dialog->reject();
    });
    QtFileDialogService qt;
    FileDialogService& files = qt;
    QCOMPARE(files.openFileName(QStringLiteral("Restore"), QStringLiteral("Databases|*.mdb;*.db|All files|*")), QString());
    QCOMPARE(filters, QStringList({"Databases (*.mdb *.db)", "All files (*)"}));
}

QTEST_MAIN(TestQtFileDialogService)
#include "tst_qtfiledialogservice.moc"
