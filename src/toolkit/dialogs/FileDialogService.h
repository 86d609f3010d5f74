#pragma once

#include <QString>

// The file-save dialog a program asks the user through. Filters are written as pairs of a
// name and its patterns, "BitMap|*.bmp" or "Pictures|*.bmp;*.png|All|*.*". Windows reach the
// installed service through current(); tests install RecordingFileDialogService so that no
// test waits on a dialog. install() does not take ownership. Nothing here throws.
// GUI thread only.
class FileDialogService
{
public:
    struct SaveRequest
    {
        QString caption;
        QString filter;
        // Added to a name typed without one; empty: the name stays exactly as typed.
        QString defaultExtension;
        bool promptOverwrite = true;
        QString directory;
    };

    virtual ~FileDialogService() = default;

    // The chosen path, or an empty text when the user cancelled.
    virtual QString saveFileName(const SaveRequest& request) = 0;

    static FileDialogService& current();
    // Installs service (nullptr: the Qt one again) and returns the one installed before.
    static FileDialogService* install(FileDialogService* service);

    // "BitMap|*.bmp" as Qt writes it: "BitMap (*.bmp)".
    static QString qtFilter(const QString& filter);
};
