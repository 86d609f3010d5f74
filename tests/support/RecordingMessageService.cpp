#include "support/RecordingMessageService.h"

QStringList RecordingMessageService::texts() const
{
    QStringList result;
    for (const Entry& entry : m_entries)
        result.append(entry.text);
    return result;
}

void RecordingMessageService::showMessage(const QString& text)
{
    m_entries.append({Kind::Message, text, title(), Type::Information, QMessageBox::Ok});
}

MessageService::Button RecordingMessageService::messageDialog(const QString& text, Type type, Buttons buttons,
                                                              Button defaultButton)
{
    m_entries.append({Kind::Dialog, text, {}, type, buttons, defaultButton});
    return m_dialogAnswers.isEmpty() ? QMessageBox::NoButton : m_dialogAnswers.takeFirst();
}

int RecordingMessageService::choose(const QString& text, Type type, const QStringList& choices)
{
    m_entries.append({Kind::Choice, text, {}, type, QMessageBox::NoButton, QMessageBox::NoButton, choices});
    return m_choiceAnswers.isEmpty() ? int(choices.size()) - 1 : m_choiceAnswers.takeFirst();
}

bool RecordingMessageService::confirmDelete(const QString& question)
{
    m_entries.append({Kind::DeleteQuestion, question, {}, Type::Confirmation, QMessageBox::Ok | QMessageBox::Cancel});
    return !m_deleteAnswers.isEmpty() && m_deleteAnswers.takeFirst();
}

