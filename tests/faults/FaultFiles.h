#pragma once

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QString>

#include "data/SampleData.h"
#include "data/Schema.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"

// Database files for the fault tests: made with the program's schema and demo rows, copied,
// read straight from the file, and the driver that changes them from a second program.
namespace FaultFiles {

inline QString connectionString(const QString& path)
{
    return QStringLiteral("Provider=SQLCipher;User ID=Admin;Data Source=%1;Mode=Share Deny None;"
                          "Database Password=\"%2\";").arg(path, databasePassword());
}

inline void makeDemoDatabase(const QString& path)
{
    Connection c = Connection::create(path, databasePassword());
    createSchema(c);
    fillLists(c);
    addDemoData(c);
}

// A fresh copy, with no journal of an earlier run beside it.
inline bool copyFresh(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::remove(to + QStringLiteral("-journal"));
    return QFile::copy(from, to);
}

inline qint64 scalar(Connection& c, const QString& sql)
{
    Statement st(c, sql);
    return st.step() ? st.int64(0) : -1;
}

inline QString text(Connection& c, const QString& sql)
{
    Statement st(c, sql);
    return st.step() ? st.text(0) : QString();
}

// Every row of every table, as one digest: two files hold the same data when theirs agree.
inline QByteArray contentDigest(Connection& c)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    Statement tables(c, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    while (tables.step()) {
        const QString table = tables.text(0);
        hash.addData(table.toUtf8());
        Statement rows(c, QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(table));
        while (rows.step())
            for (int i = 0; i < rows.columnCount(); ++i)
                hash.addData(rows.isNull(i) ? QByteArray("\x1e") : rows.value(i).toString().toUtf8().append('\x1f'));
    }
    return hash.result().toHex();
}

inline QString driverPath()
{
    return QStringLiteral(FAULT_DRIVER);
}

} // namespace FaultFiles
