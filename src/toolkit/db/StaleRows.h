#pragma once

#include <QList>

class Dataset;

// Bringing what a window or a report shows up to date with the file at little cost: only
// datasets whose tables were written since they read their rows are read again. GUI thread
// only.
namespace StaleRows {

// datasets with their masters up the chain and the datasets their lookup fields read (and
// theirs), each once, every one after those it depends on.
QList<Dataset*> withSources(const QList<Dataset*>& datasets);

// Reads again, in order, those of datasets that are stale, each keeping its current row where
// it still exists. One on which, or on whose followers, a change is pending is left as it is
// (still stale), so no pending change is saved or dropped unasked. Throws what a read throws.
void reread(const QList<Dataset*>& datasets);

// Reads dataset again (Dataset::reread: its pending change ends as a move ends it), after the
// stale datasets it depends on: what the user asks for with F5.
void rereadWithSources(Dataset* dataset);

}
