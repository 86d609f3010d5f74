// A dataset's fields and the values of its rows: read, shown, written, looked up.
#include "toolkit/db/Dataset.h"

#include "toolkit/db/FieldValues.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/TextWidth.h"

int Dataset::fieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const FieldDef& Dataset::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    return m_fields[size_t(i)];
}

QVariant Dataset::fieldValueAt(RowRef ref, int fieldIndex, bool current, bool cut) const
{
    const FieldDef& f = m_fields[size_t(fieldIndex)];
    if (f.isLookup) {
        const int key = this->fieldIndex(f.keyField);
        return lookupValue(f, fieldValueAt(ref, key, current), cut);
    }
    const int c = m_fieldColumn[size_t(fieldIndex)];
    const QVariant& stored = current && isEditing() ? m_buffer[c] : storedAt(ref, c);
    if (!cut && (f.type == FieldType::Text || f.type == FieldType::Memo))
        return stored;
    return readValue(f, stored);
}

QVariant Dataset::lookupValue(const FieldDef& field, const QVariant& key, bool cut) const
{
    Dataset* source = field.lookupDataset;
    if (key.isNull() || !source || !source->isActive())
        return {};
    const int abs = source->findInView(field.lookupKeyField, key);
    const int result = source->fieldIndex(field.lookupResultField);
    if (abs < 0 || result < 0)
        return {};
    QVariant v = source->fieldValueAt(source->m_rows[size_t(abs)], result, false, cut);
    if (cut && field.width > 0 && v.typeId() == QMetaType::QString)
        v = TextWidth::cut(v.toString(), field.width);
    return v;
}

int Dataset::findInView(const QString& column, const QVariant& key) const
{
    const int f = fieldIndex(column);
    if (f < 0 || key.isNull())
        return -1;
    LookupIndex& index = m_lookups[column.toLower()];
    if (!index.isCurrent(m_version))
        index.rebuild(m_version, isIntegralType(m_fields[size_t(f)].type), m_lo, m_hi,
                      [&](int abs) { return fieldValueAt(m_rows[size_t(abs)], f, false); });
    return index.find(key);
}

QVariant Dataset::value(const QString& name) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    if (m_cur < 0)
        return {};
    return fieldValueAt(m_rows[size_t(m_cur)], f, true);
}

QString Dataset::format(const FieldDef& field, const QVariant& value) const
{
    return formatValue(field, value);
}

QString Dataset::text(const QString& name) const
{
    return format(field(name), value(name));
}

qint64 Dataset::asInteger(const QString& name) const
{
    return value(name).toLongLong();
}

bool Dataset::asBoolean(const QString& name) const
{
    return value(name).toBool();
}

QVariant Dataset::rowValue(int row, const QString& name, bool cut) const
{
    const int f = fieldIndex(name);
    if (f < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    const int abs = m_lo + row;
    if (row < 0 || abs >= m_hi)
        return {};
    return fieldValueAt(m_rows[size_t(abs)], f, abs == m_cur, cut);
}

QVariant Dataset::valueAt(int row, const QString& name) const
{
    return rowValue(row, name, true);
}

QString Dataset::textAt(int row, const QString& name) const
{
    return format(field(name), valueAt(row, name));
}

QString Dataset::wholeText(const QString& name) const
{
    return m_cur < 0 ? format(field(name), {}) : wholeTextAt(m_cur - m_lo, name);
}

QString Dataset::wholeTextAt(int row, const QString& name) const
{
    return format(field(name), rowValue(row, name, false));
}

void Dataset::setValue(const QString& name, const QVariant& value)
{
    const int fi = fieldIndex(name);
    if (fi < 0)
        throw StoreError(QStringLiteral("%1: Field '%2' not found.").arg(m_name, name));
    const FieldDef& f = m_fields[size_t(fi)];
    if (!isEditing())
        throw FieldError(QStringLiteral("%1: Dataset not in edit or insert mode.").arg(m_name));
    if (f.isLookup) {
        QVariant key;
        if (!value.isNull())
            for (const auto& [k, shown] : lookupList(name))
                if (shown == value.toString()) {
                    key = k;
                    break;
                }
        setValue(f.keyField, key);
        emit recordChanged(f.name);
        return;
    }
    if (f.readOnly)
        throw FieldError(QStringLiteral("Field '%1' cannot be modified.").arg(f.displayLabel()));
    m_buffer[m_fieldColumn[size_t(fi)]] = convertValue(f, value);
    if (!m_inNewRecord) {
        m_modified = true;
        followChangedLinks();
    }
    if (!controlsDisabled())
        emit recordChanged(f.name);
}

void Dataset::setText(const QString& name, const QString& text)
{
    setValue(name, text.isEmpty() ? QVariant() : QVariant(text));
}

QList<QPair<QVariant, QString>> Dataset::lookupList(const QString& name) const
{
    const FieldDef& f = field(name);
    QList<QPair<QVariant, QString>> list;
    Dataset* source = f.lookupDataset;
    if (!f.isLookup || !source || !source->isActive())
        return list;
    const int key = source->fieldIndex(f.lookupKeyField);
    const int result = source->fieldIndex(f.lookupResultField);
    if (key < 0 || result < 0)
        return list;
    for (int abs = source->m_lo; abs < source->m_hi; ++abs) {
        const RowRef ref = source->m_rows[size_t(abs)];
        QString shown = source->format(source->m_fields[size_t(result)], source->fieldValueAt(ref, result, false));
        shown = TextWidth::cut(shown, f.width);
        list.append({source->fieldValueAt(ref, key, false), shown});
    }
    return list;
}
