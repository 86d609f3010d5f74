#include "toolkit/dialogs/ShellService.h"

#include "toolkit/dialogs/DesktopShellService.h"

ShellService& ShellService::standard()
{
    static DesktopShellService shell;
    return shell;
}
