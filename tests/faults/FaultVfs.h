#pragma once

#include <QString>

// A SQLite file layer for fault tests, put in front of the default one for every connection
// the process opens. It passes everything through, and can make writes to the files under
// one path fail as a full disk does, or kill the process at its n-th write, sync, truncate
// or delete, the moments at which a crash can leave a file half written.
namespace FaultVfs {

// Registers the layer as the default; again is harmless.
void install();

// Writes that make files whose path starts with prefix longer fail with SQLITE_FULL once they
// have grown by bytes after this call; a negative budget lifts the limit.
void limitWrites(const QString& prefix, qint64 bytes);

// SIGKILL at the n-th write-like call from now on; 0: never.
void killAt(int n);

// Write-like calls counted since the last killAt().
int writeCalls();

} // namespace FaultVfs
