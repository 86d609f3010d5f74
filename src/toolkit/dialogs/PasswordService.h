#pragma once

#include <optional>

#include <QString>

#include "toolkit/dialogs/InstalledService.h"

// Asks for the password of a database server when the server wants one that was not given.
// Windows reach the installed service through current(); tests install a fake that answers,
// so that no test waits on a dialog. The password is only ever held in memory. install() does
// not take ownership. Nothing here throws. GUI thread only.
class PasswordService : public InstalledService<PasswordService>
{
public:
    virtual ~PasswordService() = default;

    // The password typed for server, or nothing when the user cancelled. problem is the
    // server's reason for asking again (a wrong password), empty the first time.
    virtual std::optional<QString> askPassword(const QString& server, const QString& problem) = 0;

    // The program's own dialog (PasswordDialog).
    static PasswordService& standard();
};
