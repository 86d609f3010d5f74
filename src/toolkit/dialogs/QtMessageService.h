#pragma once

#include "toolkit/dialogs/MessageService.h"

// The message service of a running program: modal QMessageBox boxes over the active window.
// The No and Yes-to-All buttons carry the captions "&No" and "Yes to &All".
// GUI thread only.
class QtMessageService : public MessageService
{
public:
    void showMessage(const QString& text) override;
    Button messageDialog(const QString& text, Type type, Buttons buttons,
                         Button defaultButton = QMessageBox::NoButton) override;
    int choose(const QString& text, Type type, const QStringList& choices) override;
    bool confirmDelete(const QString& question) override;
};
