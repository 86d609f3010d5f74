#pragma once

#include <QString>

#include "toolkit/dialogs/InstalledService.h"

// The file dialogs a program asks the user through. Filters are written as pairs of a
// name and its patterns, "BitMap|*.bmp" or "Pictures|*.bmp;*.png|All|*.*". Windows reach the
// installed service through current(); tests install RecordingFileDialogService so that no
// test waits on a dialog. install() does not take ownership. Nothing here throws.
// GUI thread only.
class FileDialogService : public InstalledService<FileDialogService>
{
public:
    struct SaveRequest
    {
        QString caption;
        QString filter;
        // Added to a name typed without one, before the overwrite question is asked; empty: the
        // name stays exactly as typed.
        QString defaultExtension;
        bool promptOverwrite = true;
        QString directory;
    };

    virtual ~FileDialogService() = default;

    // The chosen path, or an empty text when the user cancelled.
    virtual QString saveFileName(const SaveRequest& request) = 0;
    // The chosen existing file, or an empty text when the user cancelled.
    virtual QString openFileName(const QString& caption, const QString& filter, const QString& directory = {}) = 0;

    // The Qt dialogs.
    static FileDialogService& standard();

    // "BitMap|*.bmp" as Qt writes it: "BitMap (*.bmp)".
    static QString qtFilter(const QString& filter);
};
