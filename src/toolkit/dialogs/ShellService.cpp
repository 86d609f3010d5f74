#include "toolkit/dialogs/ShellService.h"

#include "toolkit/dialogs/DesktopShellService.h"

namespace {

ShellService* installed = nullptr;

}

ShellService& ShellService::current()
{
    if (installed)
        return *installed;
    static DesktopShellService standard;
    return standard;
}

ShellService* ShellService::install(ShellService* service)
{
    ShellService* before = installed;
    installed = service;
    return before;
}
