#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Puts a file where a test needs one (an older file a save must replace or keep, a page to
// load), replacing what was there. False when it cannot be written all.
inline bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}
