#pragma once

#include <QString>

#include "support/TestStore.h"
#include "toolkit/db/Connection.h"

// Makes the store refuse a write with message, as a rule of the database would: before event
// ("BEFORE DELETE ON People") of each row for which condition holds (on the row as "old" or
// "new"; empty for every row). Written for the engine the test runs on; dropStoreRefusal takes
// it away again.
inline void refuseInStore(Connection& c, const QString& name, const QString& event, const QString& condition,
                          const QString& message)
{
    if (TestStore::onServer()) {
        const QString test = condition.isEmpty() ? QStringLiteral("true") : condition;
        c.exec(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN IF %2 THEN RAISE EXCEPTION '%3';"
                              " END IF; RETURN COALESCE(NEW, OLD); END$$;"
                              "CREATE TRIGGER %1 %4 FOR EACH ROW EXECUTE FUNCTION %1()")
                   .arg(name, test, message, event));
        return;
    }
    const QString when = condition.isEmpty() ? QString() : QStringLiteral(" WHEN ") + condition;
    c.exec(QStringLiteral("CREATE TRIGGER %1 %2%3 BEGIN SELECT RAISE(ABORT, '%4'); END").arg(name, event, when, message));
}

// table is the one the refusal was made on.
inline void dropStoreRefusal(Connection& c, const QString& name, const QString& table)
{
    if (TestStore::onServer())
        c.exec(QStringLiteral("DROP TRIGGER %1 ON %2; DROP FUNCTION %1()").arg(name, table));
    else
        c.exec(QStringLiteral("DROP TRIGGER %1").arg(name));
}
