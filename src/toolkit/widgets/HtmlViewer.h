#pragma once

#include <functional>

#include <QTextBrowser>

// A local HTML viewer that asks before every navigation: a clicked or keyed link, back and
// forward, and the program's own setSource(). beforeNavigate gets the address (a link's own
// text when it is a whole address, otherwise the resolved URL) and may cancel it; the
// viewer then stays where it was. An address that cannot be read shows a "cannot be found"
// page in place of the document, never a message box. GUI thread only.
class HtmlViewer : public QTextBrowser
{
    Q_OBJECT
public:
    explicit HtmlViewer(QWidget* parent = nullptr);

    std::function<void(const QString& address, bool& cancel)> beforeNavigate;

    // The page shown for an address that cannot be read.
    static QString notFoundPage(const QUrl& address);

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;
    QVariant loadResource(int type, const QUrl& name) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The link being activated, as written in the document, while its navigation runs.
    QString m_activatedLink;
};
