#include "toolkit/dialogs/PasswordService.h"

#include <QApplication>

#include "toolkit/dialogs/PasswordDialog.h"

namespace {

class DialogPasswordService : public PasswordService
{
public:
    std::optional<QString> askPassword(const QString& server, const QString& problem) override
    {
        PasswordDialog dialog(server, problem, QApplication::activeWindow());
        // Asked while the start-up's splash picture is up, which would cover it.
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.password();
    }
};

} // namespace

PasswordService& PasswordService::standard()
{
    static DialogPasswordService dialogs;
    return dialogs;
}
