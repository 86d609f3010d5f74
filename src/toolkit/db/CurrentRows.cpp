#include "toolkit/db/CurrentRows.h"

CurrentRows::CurrentRows(const std::vector<Dataset*>& datasets)
{
    for (Dataset* d : datasets)
        m_rows.emplace_back(d, d->isActive() ? d->bookmark() : 0);
}

void CurrentRows::restore()
{
    for (const auto& [dataset, row] : m_rows)
        if (dataset && dataset->isActive() && row != 0 && dataset->bookmark() != row)
            dataset->gotoBookmark(row);
}
