#pragma once

#include <memory>
#include <optional>

#include <QDate>
#include <QTemporaryDir>
#include <QTest>

#include "data/DataModule.h"
#include "data/Schema.h"
#include "toolkit/db/Connection.h"
#include "toolkit/db/Statement.h"
#include "support/RecordingMessageService.h"
#include "support/RecordingShellService.h"
#include "support/TestStore.h"
#include "toolkit/widgets/MonthCalendar.h"
#include "ui/main/Forms.h"
#include "ui/main/PickDate.h"

// A date picker whose modal show picks answer in the calendar and presses the real OK button,
// or, without an answer, is closed by its close box.
class PickerProbe : public TPickDateForm
{
public:
    std::optional<QDate> answer;
    int shows = 0;

    int showModalWindow() override
    {
        ++shows;
        setResult(QDialog::Rejected);
        if (answer) {
            MonthCalendar1->setSelectedDate(*answer);
            QTest::mouseClick(Button1, Qt::LeftButton);
        }
        return result();
    }
};

// A fresh encrypted database (or server database, see TestStore) with the lists and a few rows, the data module open on it, the
// long-lived picker, and recording message and shell services.
//   Company 3 "Acme": project 14 "Rollout" with subprojects 27 "Pilot" (one status row) and
//   29 "Phase two", project 16 "Upgrade" without subprojects; people 40 "Ann" and 41 "Bob".
//   Company 5 "Borealis": project 15 "Audit" with subproject 28 "Review"; person 42 "Cecil".
//   Company 7 "Cobalt": nothing.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(bool withRows = true)
    {
        {
            Connection c = m_store.create();
            createSchema(c);
            fillLists(c);
            if (withRows)
                c.exec(QStringLiteral(
                    "INSERT INTO Companies (CompanyID, Name) VALUES (3, 'Acme'), (5, 'Borealis'), (7, 'Cobalt');"
                    "INSERT INTO Projects (ProjectID, CompanyID, Name) VALUES (14, 3, 'Rollout'), (15, 5, 'Audit'),"
                    " (16, 3, 'Upgrade');"
                    "INSERT INTO SubProjects (SubProjectID, ProjectID, Name, SubProjectTypeID, SizeID)"
                    " VALUES (27, 14, 'Pilot', 1, 1), (29, 14, 'Phase two', 2, 1), (28, 15, 'Review', 1, 1);"
                    "INSERT INTO SubProjectHistory (SubProjectID, SubProjectStatusID, Date) VALUES (27, 2, '2024-03-01 00:00:00');"
                    "INSERT INTO People (PersonID, CompanyID, Name) VALUES (40, 3, 'Ann'), (41, 3, 'Bob'), (42, 5, 'Cecil');"
                    "INSERT INTO Business (PersonID, SubProjectID, SPWeight) VALUES (40, 27, 50), (42, 28, 70);"));
        }
        dm = std::make_unique<TMainDataModule>();
        dm->Connect(connectionString());
        dm->SetDataSetsActive(true);
        picker = std::make_unique<PickerProbe>();
        forms.MainDataModule = dm.get();
        forms.PickDateForm = picker.get();
    }

    ~MainWindowFixture()
    {
        m_side.reset();
        picker.reset();
        dm.reset();
    }

    QString connectionString() const { return m_store.connectionString(); }

    // One value read straight from the file, through a connection of its own.
    QVariant scalar(const QString& sql)
    {
        if (!m_side)
            m_side = std::make_unique<Connection>(connectionString());
        Statement st(*m_side, sql);
        return st.step() ? st.value(0) : QVariant();
    }

    RecordingMessageService messages;
    RecordingShellService shell;
    std::unique_ptr<TMainDataModule> dm;
    std::unique_ptr<PickerProbe> picker;
    Forms forms;

private:
    TestStore m_store{QStringLiteral("Vornadel.mdb"), databasePassword()};
    std::unique_ptr<Connection> m_side;
};
