#include "toolkit/dialogs/MessageService.h"

#include <QGuiApplication>

#include "toolkit/dialogs/QtMessageService.h"

namespace {

MessageService* installed = nullptr;
QString& titleText()
{
    static QString text;
    return text;
}

}

MessageService& MessageService::current()
{
    if (installed)
        return *installed;
    static QtMessageService standard;
    return standard;
}

MessageService* MessageService::install(MessageService* service)
{
    MessageService* before = installed;
    installed = service;
    return before;
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
