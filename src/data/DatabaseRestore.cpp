#include "data/DatabaseRestore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "data/DataModule.h"
#include "data/Schema.h"
#include "toolkit/db/BackupFile.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/DatabaseCopy.h"
#include "toolkit/db/SchemaCheck.h"
#include "toolkit/db/StoreError.h"

namespace {

StoreError refused(const QString& chosen, const QString& reason, StoreError::Kind kind = StoreError::Kind::Other)
{
    return StoreError(kind, QStringLiteral("The file '%1' cannot be restored, and nothing was changed: %2")
                                .arg(QDir::toNativeSeparators(chosen), reason));
}

// "<name> (before restore yyyy-MM-dd hh-mm-ss).<suffix>" beside path, numbered when taken.
QString beforeRestoreName(const QString& path, const QDateTime& when)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix().isEmpty() ? QString() : u'.' + file.suffix();
    const QString base = file.dir().filePath(QStringLiteral("%1 (before restore %2)")
                                                 .arg(file.completeBaseName(), when.toString(u"yyyy-MM-dd hh-mm-ss")));
    QString name = base + suffix;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = QStringLiteral("%1 %2%3").arg(base, QString::number(n), suffix);
    return name;
}

} // namespace

DatabaseRestore::DatabaseRestore(TMainDataModule& dm, const QString& chosen, const UpgradeSteps& upgrades)
    : m_dm(dm)
{
    Connection& open = *dm.MainADOConnection();
    if (!m_folder.isValid())
        throw refused(chosen, m_folder.errorString());
    // The checks open, and may upgrade, what they check: never the user's own file.
    const QString checked = m_folder.filePath(QStringLiteral("restore.mdb"));
    QFile source(chosen);
    if (!source.copy(checked))
        throw refused(chosen, source.errorString());
    // A copy kept on a read-only disk or file comes in read-only; the upgrade writes to it.
    QFile::setPermissions(checked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    try {
        m_checked = std::make_unique<Connection>(open.openKeyedAlike(checked));
        upgradeDatabase(*m_checked, upgrades);
        checkSchema(*m_checked, startupRequirements());
    } catch (const StoreError& e) {
        // The texts name the temporary copy; the user knows the file by its own name.
        throw refused(chosen, e.text().replace(checked, QDir::toNativeSeparators(chosen))
                                  .replace(QDir::toNativeSeparators(checked), QDir::toNativeSeparators(chosen)),
                      e.kind());
    }
    m_safetyCopy = beforeRestoreName(open.path(), QDateTime::currentDateTime());
}

DatabaseRestore::~DatabaseRestore()
{
    try {
        cancel();
    } catch (...) {
        // The datasets stay closed; the windows read them again when used.
    }
}

bool DatabaseRestore::step(int pages)
{
    Connection& open = *m_dm.MainADOConnection();
    switch (m_phase) {
    case Phase::Checked:
        m_dm.endAllPendingChanges();
        m_safety = std::make_unique<BackupFile>(open, m_safetyCopy);
        m_phase = Phase::SafetyCopy;
        return false;
    case Phase::SafetyCopy:
        if (!m_safety->step(pages))
            return false;
        // Closed before the copy: the copy takes the file only while nothing of it is open.
        m_datasetsClosed = true;
        m_dm.SetDataSetsActive(false);
        m_copyIn = std::make_unique<DatabaseCopy>(*m_checked, open);
        m_phase = Phase::CopyIn;
        return false;
    case Phase::CopyIn:
        if (!m_copyIn->step(pages))
            return false;
        m_copyIn.reset();
        m_phase = Phase::Done;
        m_datasetsClosed = false;
        m_dm.SetDataSetsActive(true);
        return true;
    case Phase::Done:
        return true;
    }
    return true;
}

int DatabaseRestore::percent() const
{
    const auto share = [](int done, int count) { return count > 0 ? done * 50 / count : 0; };
    switch (m_phase) {
    case Phase::Checked:
        return 0;
    case Phase::SafetyCopy:
        return share(m_safety->pagesCopied(), m_safety->pageCount());
    case Phase::CopyIn:
        return 50 + share(m_copyIn->pagesCopied(), m_copyIn->pageCount());
    case Phase::Done:
        return 100;
    }
    return 100;
}

void DatabaseRestore::cancel()
{
    if (m_phase == Phase::Done)
        return;
    // An unfinished copy of either kind leaves its target as it was.
    m_copyIn.reset();
    m_safety.reset();
    m_phase = Phase::Done;
    if (m_datasetsClosed) {
        m_datasetsClosed = false;
        m_dm.SetDataSetsActive(true);
    }
}
