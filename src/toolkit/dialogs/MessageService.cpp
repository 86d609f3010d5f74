#include "toolkit/dialogs/MessageService.h"

#include <QGuiApplication>

#include "toolkit/dialogs/QtMessageService.h"

namespace {

QString& titleText()
{
    static QString text;
    return text;
}

}

MessageService& MessageService::standard()
{
    static QtMessageService boxes;
    return boxes;
}

QString MessageService::title()
{
    return titleText().isEmpty() ? QGuiApplication::applicationDisplayName() : titleText();
}

void MessageService::setTitle(const QString& title)
{
    titleText() = title;
}

QString MessageService::deleteRecordQuestion()
{
    return QStringLiteral("Delete record?");
}
