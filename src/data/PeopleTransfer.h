#pragma once

#include <functional>
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
    // done of total rows written; returning false cancels the import. The last call, with done
    // equal to total, comes before the commit and can no longer cancel.
    using Progress = std::function<bool(int done, int total)>;

    struct Outcome
    {
        int added = 0;
        int updated = 0;
        QVariant firstAdded;  // id of the first person added; null when none
        bool cancelled = false;
    };

    explicit PeopleTransfer(TMainDataModule& dm) : m_dm(dm) {}

    // The preview of contacts going into the current company of CompaniesTable. A pending change
    // of the Clients page is saved first, so a person being entered counts among the stored.
    Contacts::ImportPlan preview(Contacts::ReadResult read) const;

    // Adds and updates the people of the plan in the current company: all of it or, on an error
    // or a cancel, nothing. A pending change of the Clients page is saved first. Afterwards
    // the plan is let go and the datasets over people read the stored rows again (a large
    // import needs the memory of one or the other, not both), and the Clients page stands on
    // the first person added.
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
