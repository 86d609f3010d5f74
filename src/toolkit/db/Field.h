#pragma once

#include <QString>

class Dataset;

enum class FieldType { AutoInc, Integer, Boolean, DateTime, Real, Text, Memo };

// One field of a dataset: a stored column, or a lookup worked out from another dataset.
// Widths are in characters (code points, see TextWidth); 0 means the width is not declared.
struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    int width = 0;
    QString label;
    bool readOnly = false;
    // false: the width only shortens what is read, never what is written.
    bool cutOnWrite = true;

    bool isLookup = false;
    QString keyField;
    Dataset* lookupDataset = nullptr;
    QString lookupKeyField;
    QString lookupResultField;

    QString displayLabel() const { return label.isEmpty() ? name : label; }
    bool isStored() const { return !isLookup; }

    static FieldDef autoInc(const QString& name) { return make(name, FieldType::AutoInc, 0, true); }
    static FieldDef integer(const QString& name) { return make(name, FieldType::Integer); }
    static FieldDef boolean(const QString& name) { return make(name, FieldType::Boolean); }
    static FieldDef dateTime(const QString& name) { return make(name, FieldType::DateTime); }
    static FieldDef text(const QString& name, int width) { return make(name, FieldType::Text, width); }
    static FieldDef lookup(const QString& name, const QString& keyField, Dataset* dataset,
                           const QString& matched, const QString& result, int width = 20)
    {
        FieldDef f = make(name, FieldType::Text, width);
        f.isLookup = true;
        f.keyField = keyField;
        f.lookupDataset = dataset;
        f.lookupKeyField = matched;
        f.lookupResultField = result;
        return f;
    }
    FieldDef& withLabel(const QString& text) { label = text; return *this; }
    FieldDef& displayWidthOnly() { cutOnWrite = false; return *this; }

private:
    static FieldDef make(const QString& name, FieldType type, int width = 0, bool readOnly = false)
    {
        FieldDef f;
        f.name = name;
        f.type = type;
        f.width = width;
        f.readOnly = readOnly;
        return f;
    }
};
