#pragma once

#include <functional>
#include <stdexcept>

#include "data/DataModule.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"

// What a main window made for one use saw when it was shown.
struct ProbeRecord
{
    int page = -1;
    QString company;
    QString person;
    QStringList inserting;
};

// A main window made for one use whose modal show records the page and current records instead
// of blocking; during it, duringShow runs (the user's actions), and then the window is closed as
// the user would close it. Counts live instances, so tests see each one freed.
class MainWindowProbe : public TDataEntryForm
{
public:
    MainWindowProbe(Forms& forms, QList<ProbeRecord>& shows) : TDataEntryForm(forms), m_data(forms), m_shows(shows) { ++alive; }
    ~MainWindowProbe() override { --alive; }

    static inline int alive = 0;
    static inline bool failShow = false;
    static inline std::function<void(MainWindowProbe&)> duringShow;

protected:
    void showModalWindow() override
    {
        if (failShow)
            throw std::runtime_error("The window could not be shown.");
        const TMainDataModule& dm = *m_data.MainDataModule;
        ProbeRecord r;
        r.page = MainDataEntry->currentIndex();
        r.company = dm.CompaniesTable->text(QStringLiteral("CompanyID"));
        r.person = dm.PeopleTable->text(QStringLiteral("PersonID"));
        for (Dataset* d : dm.sharedDatasets())
            if (d->state() == Dataset::State::Insert)
                r.inserting.append(d->name());
        m_shows.append(r);
        if (duringShow)
            duringShow(*this);
        close();
    }

private:
    Forms& m_data;
    QList<ProbeRecord>& m_shows;
};
