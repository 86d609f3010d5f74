#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "toolkit/dialogs/InstalledService.h"

// The boxes a program asks the user through: a plain message with one OK button, a typed
// message dialog with a chosen set of standard buttons, a question with buttons of its own,
// and the delete question (files are chosen through FileDialogService). Controls and windows
// reach the one installed service through current(); tests install a recording fake
// (RecordingMessageService) so that no test waits on a dialog.
// install() does not take ownership. Nothing here throws. GUI thread only.
class MessageService : public InstalledService<MessageService>
{
public:
    enum class Type { Warning, Error, Information, Confirmation };
    using Button = QMessageBox::StandardButton;
    using Buttons = QMessageBox::StandardButtons;

    virtual ~MessageService() = default;

    // One OK button, captioned with title().
    virtual void showMessage(const QString& text) = 0;
    // Returns the button pressed, or QMessageBox::NoButton when the box was closed otherwise.
    // defaultButton is the one Enter presses (none given: the toolkit's choice).
    virtual Button messageDialog(const QString& text, Type type, Buttons buttons,
                                 Button defaultButton = QMessageBox::NoButton) = 0;
    // One button per choice, in order, the first the default; returns the index of the one
    // pressed. Escape or closing the box gives the last choice, so make that the safe one.
    virtual int choose(const QString& text, Type type, const QStringList& choices) = 0;
    // OK or Cancel; true for OK.
    virtual bool confirmDelete(const QString& question) = 0;

    // The Qt boxes.
    static MessageService& standard();

    // The caption of plain messages: the text set here, else the application's display name.
    static QString title();
    static void setTitle(const QString& title);

    // The question asked before a delete when the dataset offers none of its own.
    static QString deleteRecordQuestion();
};
