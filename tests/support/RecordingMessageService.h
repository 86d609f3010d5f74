#pragma once

#include <QList>
#include <QStringList>

#include "toolkit/dialogs/MessageService.h"

// A message service for tests: installs itself while it lives (putting back the service
// before it when destroyed), records every box asked for in order and answers from scripted
// queues. With no answer left it behaves as if the user closed the box: NoButton for a
// dialog, the last choice for a question, Cancel for the delete question. GUI thread only.
class RecordingMessageService : public MessageService
{
public:
    enum class Kind { Message, Dialog, Choice, DeleteQuestion };
    struct Entry
    {
        Kind kind;
        QString text;
        QString caption;
        Type type = Type::Information;
        Buttons buttons;
        Button defaultButton = QMessageBox::NoButton;
        QStringList choices = {};
    };

    void answerDialog(Button button) { m_dialogAnswers.append(button); }
    void answerChoice(int index) { m_choiceAnswers.append(index); }
    void answerDelete(bool ok) { m_deleteAnswers.append(ok); }

    const QList<Entry>& entries() const { return m_entries; }
    // The texts of every box in order, for whole-sequence comparisons.
    QStringList texts() const;
    void clear() { m_entries.clear(); }

    void showMessage(const QString& text) override;
    Button messageDialog(const QString& text, Type type, Buttons buttons,
                         Button defaultButton = QMessageBox::NoButton) override;
    int choose(const QString& text, Type type, const QStringList& choices) override;
    bool confirmDelete(const QString& question) override;

private:
    QList<Entry> m_entries;
    QList<Button> m_dialogAnswers;
    QList<int> m_choiceAnswers;
    QList<bool> m_deleteAnswers;
    Scope m_installed{this};
};
