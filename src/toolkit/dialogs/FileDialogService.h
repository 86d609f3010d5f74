#pragma once

#include <QString>

// The file-open dialog. Windows reach the installed service through current(); tests install
// RecordingFileDialogService so that no test waits on a dialog. install() does not take
// ownership. Nothing here throws. GUI thread only.
class FileDialogService
{
public:
    virtual ~FileDialogService() = default;

    // The chosen existing file, or an empty text when the user cancelled.
    virtual QString openFileName(const QString& caption, const QString& filter, const QString& directory = {}) = 0;

    // The installed service, or the Qt one when none is installed.
    static FileDialogService& current();
    // Installs service (nullptr: the Qt one again) and returns the one installed before.
    static FileDialogService* install(FileDialogService* service);
};
