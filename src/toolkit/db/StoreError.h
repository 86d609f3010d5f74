#pragma once

#include <stdexcept>
#include <string>

#include <QString>

// An error raised by the store. what() is the store's own text; the codes and the
// failing statement are kept apart for logs. Code above the engine decides by kind(),
// never by the text. GUI thread only, like the rest of the layer.
class StoreError : public std::runtime_error
{
public:
    // PasswordNeeded: a server asked for a password none was given for. Disconnected: the
    // server cannot be reached, or the connection to it was lost.
    enum class Kind { Busy, RowChanged, DiskFull, ReadOnly, Constraint, NotADatabase, WrongKey, PasswordNeeded,
                      Disconnected, Other };

    explicit StoreError(const QString& message, int code = 0, int extendedCode = 0, QString sql = {})
        : std::runtime_error(message.toStdString()), m_code(code), m_extendedCode(extendedCode), m_sql(std::move(sql)) {}
    StoreError(Kind kind, const QString& message, int code = 0, int extendedCode = 0, QString sql = {})
        : std::runtime_error(message.toStdString()), m_kind(kind), m_code(code), m_extendedCode(extendedCode),
          m_sql(std::move(sql)) {}

    Kind kind() const { return m_kind; }

    QString text() const { return QString::fromStdString(what()); }
    int code() const { return m_code; }
    int extendedCode() const { return m_extendedCode; }
    const QString& sql() const { return m_sql; }

private:
    Kind m_kind = Kind::Other;
    int m_code;
    int m_extendedCode;
    QString m_sql;
};

// A value a field cannot take (not a whole number, out of range, bad date). The row stays in editing.
class FieldError : public std::runtime_error
{
public:
    explicit FieldError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString text() const { return QString::fromStdString(what()); }
};

// Thrown by a rule that refuses an action after telling the user why; the action boundary
// swallows it silently.
class AbortAction : public std::exception
{
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};
