#include "toolkit/db/StaleRows.h"

#include "toolkit/db/Dataset.h"

namespace StaleRows {

namespace {

void addWithSources(Dataset* dataset, QList<Dataset*>& ordered, QList<Dataset*>& visiting)
{
    if (!dataset || ordered.contains(dataset) || visiting.contains(dataset))
        return;
    visiting.append(dataset);
    addWithSources(dataset->master(), ordered, visiting);
    for (int i = 0; i < dataset->fieldCount(); ++i)
        if (dataset->field(i).isLookup)
            addWithSources(dataset->field(i).lookupDataset, ordered, visiting);
    visiting.removeOne(dataset);
    ordered.append(dataset);
}

} // namespace

QList<Dataset*> withSources(const QList<Dataset*>& datasets)
{
    QList<Dataset*> ordered, visiting;
    for (Dataset* d : datasets)
        addWithSources(d, ordered, visiting);
    return ordered;
}

void reread(const QList<Dataset*>& datasets)
{
    for (Dataset* d : datasets)
        if (d->isStale() && !d->changePending())
            d->reread();
}

void rereadWithSources(Dataset* dataset)
{
    QList<Dataset*> sources = withSources({dataset});
    sources.removeOne(dataset);
    reread(sources);
    dataset->reread();
}

} // namespace StaleRows
