#include "toolkit/dialogs/QtMessageService.h"

#include <QApplication>
#include <QPushButton>

namespace {

QString caption(MessageService::Type type)
{
    switch (type) {
    case MessageService::Type::Warning: return QStringLiteral("Warning");
    case MessageService::Type::Error: return QStringLiteral("Error");
    case MessageService::Type::Information: return QStringLiteral("Information");
    case MessageService::Type::Confirmation: return QStringLiteral("Confirm");
    }
    return {};
}

QMessageBox::Icon icon(MessageService::Type type)
{
    switch (type) {
    case MessageService::Type::Warning: return QMessageBox::Warning;
    case MessageService::Type::Error: return QMessageBox::Critical;
    case MessageService::Type::Information: return QMessageBox::Information;
    case MessageService::Type::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}

void QtMessageService::showMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

MessageService::Button QtMessageService::messageDialog(const QString& text, Type type, Buttons buttons,
                                                      Button defaultButton)
{
    QMessageBox box(icon(type), caption(type), text, buttons, QApplication::activeWindow());
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    // The platform's own captions differ between desktops; these are the toolkit's.
    if (QAbstractButton* no = box.button(QMessageBox::No))
        no->setText(QStringLiteral("&No"));
    if (QAbstractButton* yesToAll = box.button(QMessageBox::YesToAll))
        yesToAll->setText(QStringLiteral("Yes to &All"));
    box.exec();
    // Closing the box gives Qt's escape button (Cancel, No, or a single button), else none.
    QAbstractButton* pressed = box.clickedButton();
    return pressed ? box.standardButton(pressed) : QMessageBox::NoButton;
}

int QtMessageService::choose(const QString& text, Type type, const QStringList& choices)
{
    QMessageBox box(icon(type), caption(type), text, QMessageBox::NoButton, QApplication::activeWindow());
    QList<QAbstractButton*> buttons;
    for (qsizetype i = 0; i < choices.size(); ++i) {
        QPushButton* button =
            box.addButton(choices[i], i + 1 < choices.size() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        if (i == 0)
            box.setDefaultButton(button);
        buttons.append(button);
    }
    box.setEscapeButton(buttons.constLast());
    box.exec();
    const qsizetype pressed = buttons.indexOf(box.clickedButton());
    return int(pressed < 0 ? buttons.size() - 1 : pressed);
}

bool QtMessageService::confirmDelete(const QString& question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question, QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    // Enter keeps the record: deleting is never the default.
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}
