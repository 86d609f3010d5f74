#include "ui/main/PendingChanges.h"

#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/ActionGuard.h"
#include "toolkit/dialogs/MessageService.h"

bool mayCloseWith(const std::vector<Dataset*>& pending)
{
    if (pending.empty())
        return true;
    const auto answer = MessageService::current().messageDialog(
        QStringLiteral("Some changes have not been saved. Save them before closing?"),
        MessageService::Type::Confirmation, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (answer) {
    case QMessageBox::Yes:
        return guarded([&] {
            for (Dataset* d : pending)
                if (d->isEditing())
                    d->post();
        });
    case QMessageBox::No:
        return guarded([&] {
            for (auto it = pending.rbegin(); it != pending.rend(); ++it)
                if ((*it)->isEditing())
                    (*it)->cancel();
        });
    default:
        return false;
    }
}

std::vector<Dataset*> changedRows(const std::vector<Dataset*>& datasets)
{
    std::vector<Dataset*> changed;
    for (Dataset* d : datasets) {
        d->updateRecord();
        if (d->isEditing() && d->modified())
            changed.push_back(d);
    }
    return changed;
}
