#include "toolkit/widgets/HtmlViewer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScopedValueRollback>

HtmlViewer::HtmlViewer(QWidget* parent)
    : QTextBrowser(parent)
{
}

QString HtmlViewer::notFoundPage(const QUrl& address)
{
    return QStringLiteral("<html><body><h2>The page cannot be found</h2>"
                          "<p>The page you are looking for is not at this address:</p><p><tt>%1</tt></p>"
                          "<p>It may have been moved, renamed or removed.</p></body></html>")
        .arg(address.toDisplayString().toHtmlEscaped());
}

void HtmlViewer::doSetSource(const QUrl& name, QTextDocument::ResourceType type)
{
    // QUrl folds the letter case of scheme and host, so a whole address is reported as the
    // document wrote it.
    QString address = name.toString();
    if (!m_activatedLink.isEmpty() && !QUrl(m_activatedLink).isRelative()
        && QUrl(m_activatedLink) == name)
        address = m_activatedLink;
    bool cancel = false;
    if (beforeNavigate)
        beforeNavigate(address, cancel);
    if (!cancel)
        QTextBrowser::doSetSource(name, type);
}

QVariant HtmlViewer::loadResource(int type, const QUrl& name)
{
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type == QTextDocument::HtmlResource && resource.toByteArray().isEmpty())
        return notFoundPage(name);
    return resource;
}

void HtmlViewer::mouseReleaseEvent(QMouseEvent* event)
{
    QScopedValueRollback<QString> link(m_activatedLink, anchorAt(event->position().toPoint()));
    QTextBrowser::mouseReleaseEvent(event);
}

void HtmlViewer::keyPressEvent(QKeyEvent* event)
{
    QString href;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The link that keyboard focus selected: the format just inside the selection.
        QTextCursor cursor = textCursor();
        if (cursor.hasSelection()) {
            cursor.setPosition(cursor.selectionStart());
            cursor.movePosition(QTextCursor::NextCharacter);
            href = cursor.charFormat().anchorHref();
        }
    }
    QScopedValueRollback<QString> link(m_activatedLink, href);
    QTextBrowser::keyPressEvent(event);
}
