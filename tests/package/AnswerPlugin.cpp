// Loaded into the unpacked program through QT_QPA_GENERIC_PLUGINS, as the package test's
// stand-in for the user: it prints every message box as it shows and presses the buttons named
// in VORNADEL_TEST_ANSWERS ('|' between them) in turn, Escape when none is left; it prints the
// main window and the help it shows, then closes it, so that the program ends by itself.
#include <cstdio>

#include <QAbstractButton>
#include <QApplication>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class Answerer : public QObject
{
public:
    Answerer() : m_answers(qEnvironmentVariable("VORNADEL_TEST_ANSWERS").split(u'|', Qt::SkipEmptyParts)) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        // Queued, so that the box's own loop or the window's show reaction runs first.
        const QPointer<QWidget> widget(static_cast<QWidget*>(watched));
        if (qobject_cast<QMessageBox*>(widget))
            QMetaObject::invokeMethod(
                this, [this, widget] { answer(qobject_cast<QMessageBox*>(widget)); }, Qt::QueuedConnection);
        else if (widget->objectName() == u"DataEntryForm")
            QMetaObject::invokeMethod(this, [widget] { report(widget); }, Qt::QueuedConnection);
        return false;
    }

private:
    void answer(QMessageBox* box)
    {
        if (!box)
            return;
        say(QStringLiteral("box: %1: %2").arg(box->windowTitle(), box->text().replace(u'\n', u' ')));
        const QString wanted = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove(u'&') == wanted) {
                button->click();
                return;
            }
        }
        QTest::keyClick(box, Qt::Key_Escape);
    }

    static void report(QWidget* window)
    {
        if (!window)
            return;
        say(QStringLiteral("window: %1").arg(window->windowTitle()));
        if (auto* help = window->findChild<QTextBrowser*>(QStringLiteral("WebBrowser1")))
            say(QStringLiteral("help: %1 (%2)").arg(help->source().toLocalFile(), help->documentTitle()));
        window->close();
    }

    QStringList m_answers;
};

} // namespace

class AnswerPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "answerer.json")
public:
    QObject* create(const QString&, const QString&) override
    {
        auto* answerer = new Answerer;
        qApp->installEventFilter(answerer);
        return answerer;
    }
};

#include "AnswerPlugin.moc"
