#pragma once

#include <QSettings>
#include <QTemporaryDir>

// Keeps the user's own settings out of a test's reach: while it lives, every QSettings of the
// user's scope reads and writes an empty temporary folder, which goes with it.
class TemporarySettings
{
public:
    TemporarySettings()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
    }

private:
    QTemporaryDir m_dir;
};
