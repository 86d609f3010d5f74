#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QVariant>

#include "data/contacts/ImportPlan.h"

class TMainDataModule;

// Moves people between the store and contact files for the Clients page: the stored people an
// import is compared with, the storing of an import plan in one transaction, and the people an
// export writes. Throws StoreError with the store's text. GUI thread only.
class PeopleTransfer
{
public:
    // done of total steps; returning false cancels. For a store, done counts rows written;
    // from the call with done equal to total on, the store is saved and the people read again,
    // which can no longer be cancelled and calls progress with total of total now and then.
    using Progress = std::function<bool(int done, int total)>;

    struct Outcome
    {
        int added = 0;
        int updated = 0;
        QVariant firstAdded;  // id of the first person added; null when none
        bool cancelled = false;
    };

    explicit PeopleTransfer(TMainDataModule& dm) : m_dm(dm) {}

    // The preview of contacts going into the current company of CompaniesTable, or none when
    // progress cancels it; progress counts the stored people read, then the contacts compared
    // with them. A pending change of the Clients page is saved first, so a person being entered
    // counts among the stored.
    std::optional<Contacts::ImportPlan> preview(Contacts::ReadResult read, const Progress& progress = {}) const;

    // Adds and updates the people of the plan in the current company: all of it or, on an error
    // or a cancel, nothing. A pending change of the Clients page is saved first. Afterwards
    // the plan is let go and the Clients page's people are read again (a large import needs the
    // memory of one or the other, not both), standing on the first person added; the other
    // datasets over people are read again when something shows them.
    Outcome store(Contacts::ImportPlan plan, const Progress& progress = {});

    // The people of the current company (allPeople false) or of every company, by name; a
    // pending change of the Clients page is saved first.
    std::vector<Contacts::Contact> exportedPeople(bool allPeople) const;
    // The activity log of each of exportedPeople(allPeople), in the same order: the entries
    // newest first, one a line, as "yyyy-MM-dd hh:mm Kind: text"; empty for a person without.
    QStringList exportedActivities(bool allPeople) const;

private:
    Outcome write(const Contacts::ImportPlan& plan, const Progress& progress);
    void readAgain(const QVariant& personId);

    TMainDataModule& m_dm;
};
