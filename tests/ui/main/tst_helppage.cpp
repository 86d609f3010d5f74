#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QtTest>

#include "support/MainWindowFixture.h"
#include "toolkit/widgets/DBNavigator.h"
#include "toolkit/widgets/HtmlViewer.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/Product.h"

namespace {

using Call = RecordingShellService::Call;

// Clicks the middle of the first link whose text is linkText.
void clickLink(HtmlViewer* viewer, const QString& linkText)
{
    const QTextCursor found = viewer->document()->find(linkText);
    QVERIFY2(!found.isNull(), qPrintable(linkText));
    QTextCursor middle(viewer->document());
    middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    const QPoint at = viewer->cursorRect(middle).center();
    QCOMPARE(viewer->anchorAt(at).isEmpty(), false);
    QTest::mouseClick(viewer->viewport(), Qt::LeftButton, {}, at);
}

struct Links
{
    QSet<QString> anchors;
    QStringList hrefs;
    QStringList images;
};

Links linksOf(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    Links links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            for (const QString& name : format.anchorNames())
                links.anchors.insert(name);
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                links.hrefs.append(format.anchorHref());
            if (format.isImageFormat())
                links.images.append(format.toImageFormat().name());
        }
    }
    return links;
}

QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestHelpPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void linksDecideWhereTheyOpen_data();
    void linksDecideWhereTheyOpen();
    void everyShowLoadsTheHelpAgain();
    void missingHelpFileShowsAPageAndNoMessage();
    void makerLabelsOpenThroughTheShell();
    void aboutTextAndLabelsShowTheProduct();
    void installedHelpLinksAllResolve();
    void installedKeyTableListsEveryRecordKey();

private:
    std::unique_ptr<MainWindowFixture> m_f;
    TDataEntryForm* m_w = nullptr;
    QTemporaryDir m_dir;
};

void TestHelpPage::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_w = &m_f->makeMainWindow();
    m_w->MainDataEntry->setCurrentWidget(m_w->HelpSheet);
    m_w->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_w));
}

void TestHelpPage::cleanup()
{
    m_f.reset();
}

void TestHelpPage::linksDecideWhereTheyOpen_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<bool>("toBrowser");
    const QString site = Product::WebSite;
    QTest::newRow("site with slash") << site + "/" << false << true;
    QTest::newRow("site with slash, keyed") << site + "/" << true << true;
    QTest::newRow("site without slash") << site << false << false;
    QTest::newRow("site in capitals") << site.toUpper() + "/" << false << false;
    QTest::newRow("site in capitals, keyed") << site.toUpper() + "/" << true << false;
    QTest::newRow("site with a path") << site + "/products/" << false << false;
    QTest::newRow("https site") << QString(site).replace("http:", "https:") + "/" << false << false;
    QTest::newRow("section of the page") << "#keys" << false << false;
    QTest::newRow("another local page") << "other.htm" << false << false;
}

void TestHelpPage::linksDecideWhereTheyOpen()
{
    QFETCH(QString, href);
    QFETCH(bool, byKeyboard);
    QFETCH(bool, toBrowser);
    const QString page = m_dir.filePath("page.htm");
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<p>Go <a href=\"%1\">there</a> now.</p><p><a name=\"keys\">Keys</a></p>").arg(href).toUtf8());
    file.close();
    QFile other(m_dir.filePath("other.htm"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("<p>Another page</p>");
    other.close();

    HtmlViewer* viewer = m_w->WebBrowser1;
    viewer->setSource(QUrl::fromLocalFile(page));
    QVERIFY(viewer->toPlainText().contains("Go there now."));
    if (byKeyboard) {
        viewer->setFocus();
        QTest::keyClick(viewer, Qt::Key_Tab);
        QTest::keyClick(viewer, Qt::Key_Return);
    } else {
        clickLink(viewer, "there");
    }

    if (toBrowser) {
        QCOMPARE(m_f->shell.calls(), QList<Call>({{href, {}}}));
        QCOMPARE(viewer->source(), QUrl::fromLocalFile(page));
        QVERIFY(viewer->toPlainText().contains("Go there now."));
    } else {
        QCOMPARE(m_f->shell.calls(), QList<Call>());
        QCOMPARE(viewer->source(), QUrl::fromLocalFile(page).resolved(QUrl(href)));
    }
    QCOMPARE(m_f->messages.entries().size(), 0);
}

void TestHelpPage::everyShowLoadsTheHelpAgain()
{
    const QUrl help = QUrl::fromLocalFile(TDataEntryForm::helpFile());
    QCOMPARE(m_w->WebBrowser1->source(), help);
    m_w->WebBrowser1->setSource(QUrl::fromLocalFile(m_dir.filePath("elsewhere.htm")));
    m_w->hide();
    m_w->show();
    QCOMPARE(m_w->WebBrowser1->source(), help);

    TDataEntryForm second(m_f->forms);
    QCOMPARE(second.WebBrowser1->source(), QUrl());
    second.show();
    QCOMPARE(second.WebBrowser1->source(), help);
}

void TestHelpPage::missingHelpFileShowsAPageAndNoMessage()
{
    QVERIFY(!QFile::exists(TDataEntryForm::helpFile()));
    QVERIFY(m_w->WebBrowser1->toPlainText().contains("The page cannot be found"));
    QVERIFY(m_w->WebBrowser1->toPlainText().contains("Help.htm"));
    QCOMPARE(m_f->messages.entries().size(), 0);
}

void TestHelpPage::makerLabelsOpenThroughTheShell()
{
    QTest::mouseClick(m_w->Label38, Qt::LeftButton, {}, m_w->Label38->rect().center());
    QTest::mouseClick(m_w->Label39, Qt::LeftButton, {}, m_w->Label39->rect().center());
    // A shell that cannot open reports nothing.
    m_f->shell.setResult(false);
    m_w->Label38->setFocus();
    QTest::keyClick(m_w->Label38, Qt::Key_Tab);
    QTest::keyClick(m_w->Label38, Qt::Key_Return);
    QCOMPARE(m_f->shell.calls(), QList<Call>({{Product::WebSite, {}},
                                              {"mailto:" + Product::MailAddress, {}},
                                              {Product::WebSite, {}}}));
    QCOMPARE(m_f->messages.entries().size(), 0);
}

void TestHelpPage::aboutTextAndLabelsShowTheProduct()
{
    const QStringList lines = m_w->RichEdit1->toPlainText().split('\n');
    QCOMPARE(lines.size(), 8);
    QVERIFY(lines.first().contains(Product::Name));
    QVERIFY(lines.first().contains(Product::Version));
    QCOMPARE(m_w->RichEdit1->focusPolicy() & Qt::TabFocus, 0);
    QVERIFY(m_w->RichEdit1->isReadOnly());
    // Every line is in view.
    QTextCursor last(m_w->RichEdit1->document()->lastBlock());
    QVERIFY(m_w->RichEdit1->viewport()->rect().contains(m_w->RichEdit1->cursorRect(last)));

    QCOMPARE(m_w->Label38->toolTip(), Product::WebSite);
    QCOMPARE(m_w->Label39->toolTip(), Product::MailAddress);
    QCOMPARE(QTextDocumentFragment::fromHtml(m_w->Label38->text()).toPlainText(), Product::WebSite);
    QCOMPARE(QTextDocumentFragment::fromHtml(m_w->Label39->text()).toPlainText(), Product::MailAddress);
    QVERIFY(m_w->WebBrowser1->width() >= 380 && m_w->WebBrowser1->height() >= 305);
}

// The help installed beside the program: each link reaches a section or a file that exists.
void TestHelpPage::installedHelpLinksAllResolve()
{
    const QString helpPath = QStringLiteral(INSTALLED_HELP_FILE);
    const QFileInfo help(helpPath);
    const Links links = linksOf(readFile(helpPath));
    QVERIFY2(links.hrefs.size() >= 10, "the guide links its sections");
    QVERIFY(links.images.size() >= 5);
    for (const QString& image : links.images)
        QVERIFY2(QFile::exists(help.dir().filePath(image)), qPrintable(image));

    QVERIFY(links.hrefs.contains(Product::WebSite + "/"));
    for (const QString& href : links.hrefs) {
        const QUrl url(href);
        if (!url.isRelative()) {
            QVERIFY2(href.startsWith(Product::WebSite), qPrintable(href));
            continue;
        }
        QSet<QString> anchors = links.anchors;
        if (!url.path().isEmpty()) {
            const QString target = help.dir().filePath(url.path());
            QVERIFY2(QFile::exists(target), qPrintable(href));
            anchors = linksOf(readFile(target)).anchors;
        }
        if (url.hasFragment())
            QVERIFY2(anchors.contains(url.fragment()), qPrintable(href));
    }
}

void TestHelpPage::installedKeyTableListsEveryRecordKey()
{
    const QString guide = readFile(QStringLiteral(INSTALLED_HELP_FILE));
    const qsizetype start = guide.indexOf(QStringLiteral("name=\"keys\""));
    QVERIFY(start >= 0);
    const QString table = guide.mid(start, guide.indexOf(QStringLiteral("<h2"), start) - start);
    QList<QKeySequence> keys = DBNavigator::shortcuts();
    keys.append(DBNavigator::saveShortcut());
    for (const QKeySequence& key : keys) {
        const QString shown = key.toString(QKeySequence::NativeText);
        QVERIFY2(table.contains(QStringLiteral("<td>") + shown) || table.contains(QStringLiteral(", ") + shown),
                 qPrintable(shown));
    }
}

QTEST_MAIN(TestHelpPage)
#include "tst_helppage.moc"
