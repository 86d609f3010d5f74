#pragma once

#include <utility>
#include <vector>

#include <QPointer>

#include "toolkit/db/Dataset.h"

// The current rows of datasets at one moment, to come back to after a walk through them (a
// report) so that the user stays where they were. Give masters before their details: a
// master's return moves its details, which then return to their own rows. GUI thread only.
class CurrentRows
{
public:
    explicit CurrentRows(const std::vector<Dataset*>& datasets);

    // Moves each dataset still open back to its row where the row is still held; throws what
    // a move throws.
    void restore();

private:
    std::vector<std::pair<QPointer<Dataset>, Dataset::Bookmark>> m_rows;
};
