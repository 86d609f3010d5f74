#include "toolkit/dialogs/ActionGuard.h"

#include <exception>

#include <QString>

#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/MessageService.h"

namespace {

void showError(const QString& text)
{
    MessageService::current().messageDialog(text, MessageService::Type::Error, QMessageBox::Ok);
}

}

bool guarded(const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (const AbortAction&) {
    } catch (const StoreError& error) {
        showError(error.text());
    } catch (const FieldError& error) {
        showError(error.text());
    } catch (const std::exception& error) {
        showError(QString::fromUtf8(error.what()));
    }
    return false;
}
