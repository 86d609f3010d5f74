#include "toolkit/widgets/DBLookupComboBox.h"

#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/widgets/FieldLink.h"

DBLookupComboBox::DBLookupComboBox(QWidget* parent)
    : QComboBox(parent), m_link(new FieldLink(this))
{
    connect(m_link, &FieldLink::reload, this, &DBLookupComboBox::showField);
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::choose);
    connect(this, &QComboBox::highlighted, this, [this](int index) {
        guarded([&] { moveLookupTo(itemData(index)); });
    });
}

DBLookupComboBox::DBLookupComboBox(DataSource* source, const QString& field, QWidget* parent)
    : DBLookupComboBox(parent)
{
    bind(source, field);
}

void DBLookupComboBox::bind(DataSource* source, const QString& field)
{
    m_link->bind(source, field);
}

QString DBLookupComboBox::fieldName() const
{
    return m_link->fieldName();
}

QVariant DBLookupComboBox::currentKey() const
{
    const FieldDef* field = m_link->field();
    if (!field || !field->isLookup)
        return {};
    return m_link->dataset()->value(field->keyField);
}

void DBLookupComboBox::fillList()
{
    const QSignalBlocker blocker(this);
    clear();
    const FieldDef* field = m_link->field();
    if (!field)
        return;
    for (const auto& [key, shown] : m_link->dataset()->lookupList(field->name))
        addItem(shown, key);
}

void DBLookupComboBox::showField()
{
    const QSignalBlocker blocker(this);
    const QVariant key = currentKey();
    const QString shown = m_link->text();
    int index = key.isNull() ? -1 : findData(key);
    // A key the last list did not hold, or a text it holds differently: until the list is
    // wanted again it holds just the shown row, so a long lookup list is not read for one value.
    if (!key.isNull() && (index < 0 || itemText(index) != shown)) {
        clear();
        addItem(shown, key);
        index = 0;
    }
    setCurrentIndex(index);
    setPlaceholderText(index < 0 ? shown : QString());
}

void DBLookupComboBox::moveLookupTo(const QVariant& key)
{
    const FieldDef* field = m_link->field();
    if (!field || !field->isLookup || !field->lookupDataset || !field->lookupDataset->isActive())
        return;
    if (key.isNull() || !field->lookupDataset->locate({field->lookupKeyField}, {key}))
        field->lookupDataset->first();
}

void DBLookupComboBox::loadList()
{
    fillList();
    const QVariant key = currentKey();
    const QSignalBlocker blocker(this);
    setCurrentIndex(key.isNull() ? -1 : findData(key));
}

void DBLookupComboBox::showPopup()
{
    if (m_readOnly)
        return;
    const bool ready = guarded([this] {
        loadList();
        moveLookupTo(currentKey());
    });
    if (ready)
        QComboBox::showPopup();
}

void DBLookupComboBox::choose(int index)
{
    guarded([&] {
        const FieldDef* field = m_link->field();
        if (!m_readOnly && field && field->isLookup && m_link->edit()) {
            const QVariant key = itemData(index);
            m_link->dataset()->setValue(field->keyField, key);
            moveLookupTo(key);
        }
    });
    showField();
}

void DBLookupComboBox::keyPressEvent(QKeyEvent* event)
{
    if (m_readOnly) {
        event->ignore();
        return;
    }
    const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        // Stepping through the closed list needs all of it.
        if (!(event->modifiers() & Qt::AltModifier) && !guarded([this] { loadList(); }))
            return;
        break;
    default:
        // So does finding an entry by the letters typed.
        if (typed && !guarded([this] { loadList(); }))
            return;
        break;
    }
    QComboBox::keyPressEvent(event);
}

void DBLookupComboBox::wheelEvent(QWheelEvent* event)
{
    if (m_readOnly) {
        event->ignore();
        return;
    }
    if (!guarded([this] { loadList(); }))
        return;
    QComboBox::wheelEvent(event);
}
