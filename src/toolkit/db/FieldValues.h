#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include "toolkit/db/Field.h"

// How a field's values are written, read and shown: what a user may type into a field, how
// a stored value comes back (booleans, dates, texts cut to width) and how it reads as text.
// Pure functions; convertValue throws FieldError for a value the field cannot take.

// Whether two stored values are the same (nulls equal only nulls; case counts).
bool sameValue(const QVariant& a, const QVariant& b);
bool isIntegralType(FieldType type);
// A date with or without a time, as stored or as users type it; invalid if none fits.
QDateTime parseDateTime(const QString& text);
// The value to store for what was given; throws FieldError.
QVariant convertValue(const FieldDef& field, const QVariant& value);
// A stored value as the field gives it back.
QVariant readValue(const FieldDef& field, const QVariant& stored);
// A value as the field shows it: booleans "True"/"False", dates as text.
QString formatValue(const FieldDef& field, const QVariant& value);
