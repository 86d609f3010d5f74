#pragma once

#include "toolkit/dialogs/ShellService.h"

// The shell service of a running program: addresses go to QDesktopServices, programs to
// QProcess::startDetached. A program named without a folder is looked for beside the running
// program first, then on the PATH. GUI thread only.
class DesktopShellService : public ShellService
{
public:
    bool open(const QString& target, const QString& parameters = {}) override;

    // The file a program target names, or an empty text when there is none.
    static QString findProgram(const QString& target);
};
