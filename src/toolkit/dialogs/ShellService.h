#pragma once

#include <QString>

#include "toolkit/dialogs/InstalledService.h"

// The desktop shell's "open": a web address or a "mailto:" address in the desktop's own
// program, or a program file (a bare name is searched on the PATH) started with a parameter
// string. Never waits for what it started. open() reports failure by returning false, so the
// caller can tell the user; it does not throw. Windows reach the installed service through
// current(); tests install RecordingShellService. install() does not take ownership.
// GUI thread only.
class ShellService : public InstalledService<ShellService>
{
public:
    virtual ~ShellService() = default;

    // target: "http://...", "https://...", "mailto:..." or a program file; parameters are
    // split like a command line (double quotes group blanks) and apply to programs only.
    virtual bool open(const QString& target, const QString& parameters = {}) = 0;

    // The desktop's own shell.
    static ShellService& standard();
};
