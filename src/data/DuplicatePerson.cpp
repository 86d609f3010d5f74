#include "data/DuplicatePerson.h"

#include "data/contacts/Contact.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/Statement.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/dialogs/MessageService.h"

namespace {

const QString Question = QStringLiteral("A client with this name or e-mail already exists in this company. Save anyway?");

bool sameKeys(const QString& name, const QString& email, const QString& otherName, const QString& otherEmail)
{
    const QString e = Contacts::emailKey(email), n = Contacts::nameKey(name);
    return (!e.isEmpty() && e == Contacts::emailKey(otherEmail)) || (!n.isEmpty() && n == Contacts::nameKey(otherName));
}

} // namespace

void confirmUniquePerson(Connection& connection, Dataset& people)
{
    const QString name = people.value(QStringLiteral("Name")).toString();
    const QString email = people.value(QStringLiteral("Email")).toString();
    const QVariant id = people.value(QStringLiteral("PersonID"));
    if (people.state() == Dataset::State::Edit && !id.isNull()) {
        Statement stored(connection, QStringLiteral("SELECT Name, Email FROM People WHERE PersonID = ?"));
        stored.bind(1, id);
        if (stored.step() && sameKeys(name, email, stored.text(0), stored.text(1)))
            return;
    }
    Statement others(connection, QStringLiteral("SELECT Name, Email FROM People WHERE CompanyID IS ? AND PersonID IS NOT ?"));
    others.bind(1, people.value(QStringLiteral("CompanyID")));
    others.bind(2, id);
    bool found = false;
    while (!found && others.step())
        found = sameKeys(name, email, others.text(0), others.text(1));
    if (!found)
        return;
    if (MessageService::current().messageDialog(Question, MessageService::Type::Confirmation,
                                                QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        throw AbortAction();
}
