#include "data/SchemaUpgrade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "data/Catalogue.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/db/Transaction.h"

namespace {

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// "Vornadel.mdb" at version 0 gives "Vornadel (version 0, before upgrade).mdb", numbered when
// that name is taken, so an earlier copy is never replaced.
QString copyName(const QString& path, int version)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() ? QString() : u'.' + file.suffix();
    const QString base = file.dir().filePath(QStringLiteral("%1 (version %2, before upgrade)")
                                                 .arg(file.completeBaseName(), QString::number(version)));
    QString name = base + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QStringLiteral("%1 %2%3").arg(base, QString::number(n), suffix);
    return name;
}

// Written under a temporary name and synced before it takes its own, so a copy that bears
// the name is whole.
QString writeCopy(const QString& path, int version)
{
    const QString copy = copyName(path, version);
    QFile from(path);
    QSaveFile to(copy);
    const auto fail = [&](const QString& reason) {
        return StoreError(QStringLiteral("The database file '%1' was not upgraded, and is left as it was: a copy of it "
                                         "could not be written to '%2' first: %3")
                              .arg(nativePath(path), nativePath(copy), reason));
    };
    if (!from.open(QIODevice::ReadOnly))
        throw fail(from.errorString());
    if (!to.open(QIODevice::WriteOnly))
        throw fail(to.errorString());
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(1 << 20);
        if (chunk.isEmpty() && from.error() != QFileDevice::NoError)
            throw fail(from.errorString());
        if (to.write(chunk) != chunk.size())
            throw fail(to.errorString());
    }
    if (!to.commit())
        throw fail(to.errorString());
    return copy;
}

// Version 1: follow-ups and the activity log. Both tables are new, so the catalogue's text
// is the step's; a later change to them needs a step of its own.
void addFollowUpsAndActivities(Connection& connection)
{
    for (const char* table : {"FollowUps", "Activities"})
        connection.createTable(Catalogue::table(QLatin1String(table)));
}

} // namespace

const UpgradeSteps& schemaUpgrades()
{
    // One line per version after 0, in order.
    static const UpgradeSteps steps{addFollowUpsAndActivities};
    return steps;
}

int programSchemaVersion()
{
    return int(schemaUpgrades().size());
}

UpgradeOutcome upgradeDatabase(Connection& connection, const UpgradeSteps& steps)
{
    UpgradeOutcome outcome{connection.schemaVersion(), int(steps.size()), {}};
    const QString file = nativePath(connection.path());
    if (outcome.from > outcome.to)
        throw StoreError(QStringLiteral("The database file '%1' was made by a newer version of Vornadel Lite: its "
                                        "version is %2, and this program knows versions up to %3. The file is left "
                                        "as it is; open it with the newer program.")
                             .arg(file, QString::number(outcome.from), QString::number(outcome.to)));
    if (!outcome.upgraded())
        return outcome;

    // Begun before the copy, so that no other program's save falls between the copy and the upgrade.
    Transaction transaction(connection);
    outcome.copy = writeCopy(connection.path(), outcome.from);
    try {
        for (int version = outcome.from; version < outcome.to; ++version)
            steps[size_t(version)](connection);
        connection.setSchemaVersion(outcome.to);
        transaction.commit();
    } catch (const std::exception& e) {
        transaction.rollback();
        const auto* store = dynamic_cast<const StoreError*>(&e);
        throw StoreError(store ? store->kind() : StoreError::Kind::Other,
                         QStringLiteral("The database file '%1' could not be upgraded from version %2 to %3, and is "
                                        "left as it was: %4\nA copy of it is in '%5'.")
                             .arg(file, QString::number(outcome.from), QString::number(outcome.to),
                                  QString::fromUtf8(e.what()), nativePath(outcome.copy)));
    }
    return outcome;
}

QString upgradeNotice(const QString& path, const UpgradeOutcome& outcome)
{
    return QStringLiteral("The database file '%1' was upgraded from version %2 to %3 for this version of the "
                          "program. A copy of it as it was is kept in '%4'.")
        .arg(nativePath(path), QString::number(outcome.from), QString::number(outcome.to), nativePath(outcome.copy));
}
