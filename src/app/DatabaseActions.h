#pragma once

class TMainDataModule;
class QWidget;

// The actions of the "File" menu over the open database. Both choose their file through the
// file dialog service and tell the outcome through the message service; they throw StoreError
// for the action guard to show. On a server's database both only say that the server's
// database is backed up and restored on the server, with pg_dump and pg_restore. GUI thread only.

// Writes a consistent copy of the open database, keyed as it is, to a chosen file, with
// progress and Cancel; a cancelled or failed copy leaves no file. A change pending in a window
// is not part of the copy and stays pending.
void backUpDatabase(TMainDataModule& dm, QWidget* parent);

// Puts a chosen copy in the place of the open database after a question naming both files and
// their dates (No the default), ending the changes pending in the open windows first; a file
// that fails the checks (DatabaseRestore.h) is refused and nothing changes. The open windows
// then read the restored rows.
void restoreDatabase(TMainDataModule& dm, QWidget* parent);
