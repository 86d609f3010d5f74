#include "ui/main/DataEntry.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

#include "toolkit/dialogs/ShellService.h"
#include "toolkit/widgets/HtmlViewer.h"
#include "ui/main/PageLayout.h"
#include "ui/main/Product.h"

using PageLayout::named;

namespace {

constexpr int AboutLines = 8;

QString& helpFolder()
{
    static QString folder;
    return folder;
}

// A blue, underlined address with a hand cursor and the address as its hint; reached by Tab
// and opened with Enter as well as by a click.
QLabel* linkLabel(QWidget* page, const char* name, const QString& address)
{
    auto* label = named(new QLabel(page), name);
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<a href=\"%1\" style=\"color:#0000ff; text-decoration:underline\">%1</a>")
                       .arg(address.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(false);
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(address);
    return label;
}

} // namespace

void TDataEntryForm::buildHelpPage()
{
    HelpSheet = named(new QWidget, "HelpSheet");
    QWidget* page = HelpSheet;

    RichEdit1 = named(new QTextEdit(page), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setFocusPolicy(Qt::ClickFocus);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette buttonFace = RichEdit1->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    RichEdit1->setPalette(buttonFace);
    RichEdit1->setPlainText(Product::about());
    const int margins = 2 * int(RichEdit1->document()->documentMargin());
    RichEdit1->setFixedHeight(AboutLines * RichEdit1->fontMetrics().lineSpacing() + margins);

    WebBrowser1 = named(new HtmlViewer(page), "WebBrowser1");
    WebBrowser1->setMinimumSize(380, 305);
    WebBrowser1->beforeNavigate = [this](const QString& address, bool& cancel) {
        WebBrowser1BeforeNavigate2(address, cancel);
    };

    Label38 = linkLabel(page, "Label38", Product::WebSite);
    Label39 = linkLabel(page, "Label39", Product::MailAddress);
    connect(Label38, &QLabel::linkActivated, this, &TDataEntryForm::Label38Click);
    connect(Label39, &QLabel::linkActivated, this, &TDataEntryForm::Label39Click);

    auto* links = new QHBoxLayout;
    links->addWidget(new QLabel(QStringLiteral("Web site"), page));
    links->addWidget(Label38);
    links->addSpacing(24);
    links->addWidget(new QLabel(QStringLiteral("Email"), page));
    links->addWidget(Label39);
    links->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(RichEdit1);
    layout->addWidget(WebBrowser1, 1);
    layout->addLayout(links);
}

QString TDataEntryForm::helpFile()
{
    const QDir program(QCoreApplication::applicationDirPath());
    const QString folder = helpFolder().isEmpty() ? program.filePath(QStringLiteral("help")) : helpFolder();
    return QDir(folder).filePath(QStringLiteral("Help.htm"));
}

void TDataEntryForm::setHelpFolder(const QString& folder)
{
    helpFolder() = folder;
}

// Runs on every show of the window; the Help page loads its file here.
void TDataEntryForm::FormShow()
{
    WebBrowser1->setSource(QUrl::fromLocalFile(helpFile()));
}

// The maker's site with "/" goes to the desktop's browser; everything else stays in the viewer.
void TDataEntryForm::WebBrowser1BeforeNavigate2(const QString& address, bool& cancel)
{
    if (address != Product::WebSite + QLatin1Char('/'))
        return;
    ShellService::current().open(address);
    cancel = true;
}

void TDataEntryForm::Label38Click()
{
    ShellService::current().open(Product::WebSite);
}

void TDataEntryForm::Label39Click()
{
    ShellService::current().open(QStringLiteral("mailto:") + Product::MailAddress);
}
