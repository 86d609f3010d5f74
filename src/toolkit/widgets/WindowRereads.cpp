#include "toolkit/widgets/WindowRereads.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "toolkit/db/Connection.h"
#include "toolkit/db/DataSource.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StaleRows.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/FieldLink.h"

namespace {

// The data source a control or a field link is bound to; controls without a FieldLink name
// theirs in the property dataSource (grids, charts, navigators).
Dataset* boundDataset(const QObject* object)
{
    DataSource* source = nullptr;
    if (const auto* link = qobject_cast<const FieldLink*>(object))
        source = link->dataSource();
    else
        source = object->property("dataSource").value<DataSource*>();
    Dataset* dataset = source ? source->dataset() : nullptr;
    return dataset && dataset->isActive() ? dataset : nullptr;
}

} // namespace

WindowRereads::WindowRereads(QWidget* window, const QList<QWidget*>& parts)
    : QObject(window), m_window(window), m_parts(parts)
{
    window->installEventFilter(this);
    for (QWidget* part : parts)
        part->installEventFilter(this);
}

QList<Dataset*> WindowRereads::shownBy(const QWidget* part)
{
    QList<Dataset*> shown;
    const auto add = [&](const QObject* object, const QWidget* control) {
        Dataset* dataset = boundDataset(object);
        if (dataset && control && control->isVisible() && !shown.contains(dataset))
            shown.append(dataset);
    };
    for (const QObject* object : part->findChildren<QObject*>()) {
        if (const auto* link = qobject_cast<const FieldLink*>(object))
            add(link, qobject_cast<const QWidget*>(link->parent()));
        else if (object->isWidgetType())
            add(object, static_cast<const QWidget*>(object));
    }
    return StaleRows::withSources(shown);
}

Dataset* WindowRereads::focusDataset(const QWidget* focus)
{
    for (const QWidget* w = focus; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        if (Dataset* dataset = boundDataset(w))
            return dataset;
        if (const auto* link = w->findChild<FieldLink*>(QString(), Qt::FindDirectChildrenOnly))
            return boundDataset(link);
    }
    return nullptr;
}

void WindowRereads::comeForward(const QWidget* part)
{
    const QList<Dataset*> shown = shownBy(part);
    if (shown.isEmpty())
        return;
    Connection* connection = shown.first()->connection();
    if (m_failed && connection->writeCount() == m_failedAt)
        return;
    m_failed = !guarded([&] { StaleRows::reread(shown); });
    m_failedAt = connection->writeCount();
}

bool WindowRereads::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::WindowActivate)
        comeForward(m_window);
    else if (event->type() == QEvent::Show && m_parts.contains(watched) && m_window->isVisible())
        comeForward(static_cast<QWidget*>(watched));
    else if (watched == m_window && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F5 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (Dataset* dataset = focusDataset(QApplication::focusWidget()))
                guarded([dataset] { StaleRows::rereadWithSources(dataset); });
            return true;
        }
    }
    return false;
}
