#pragma once

#include "data/SearchIndex.h"

class TMainDataModule;

// Going straight to a company, project, subproject or person: every pending change of the
// shared datasets ends first as a move would end it (a failed save throws and nothing moves),
// then the shared datasets stand on the record and on its masters. Returns false when the file
// no longer holds the record or it belongs to no company (the masters found may have moved).
// Throws StoreError. GUI thread only.
bool jumpToRecord(TMainDataModule& dm, SearchIndex::Kind kind, qint64 id);
