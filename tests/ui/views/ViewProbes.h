#pragma once

#include <functional>
#include <memory>

#include <QStringList>

#include "support/MainWindowFixture.h"
#include "toolkit/db/Dataset.h"
#include "toolkit/db/StoreError.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/EDSubProject.h"

// What the windows opened by a view's double-clicks did: each show notes the call, the
// windows note being freed, and a show may be made to fail.
struct OpenedWindows
{
    QStringList shows;
    int made = 0;
    int freed = 0;
    bool failShow = false;
    // Called at each show, to look at the datasets while the window is up.
    std::function<void()> whileShown;

    void shown(const QString& what)
    {
        shows.append(what);
        if (whileShown)
            whileShown();
        if (failShow)
            throw StoreError(QStringLiteral("The window failed."));
    }
};

class ProbeMainWindow : public TDataEntryForm
{
public:
    ProbeMainWindow(Forms& forms, OpenedWindows& log) : TDataEntryForm(forms), m_log(log) { ++m_log.made; }
    ~ProbeMainWindow() override { ++m_log.freed; }

protected:
    void showModalWindow() override { m_log.shown(QStringLiteral("main at page %1").arg(MainDataEntry->currentIndex())); }

private:
    OpenedWindows& m_log;
};

class ProbeDetailsWindow : public TEDSubProjectForm
{
public:
    ProbeDetailsWindow(Forms& forms, OpenedWindows& log)
        : TEDSubProjectForm(forms), m_log(log), m_table(forms.MainDataModule->SubProjectsTable)
    {
        ++m_log.made;
    }
    ~ProbeDetailsWindow() override { ++m_log.freed; }

    void showModalWindow() override { m_log.shown(QStringLiteral("details of %1").arg(m_table->text(QStringLiteral("SubProjectID")))); }

private:
    OpenedWindows& m_log;
    Dataset* m_table;
};

// A view whose double-clicks open the probes above.
template <class View>
class ProbeView : public View
{
public:
    ProbeView(Forms& forms, OpenedWindows& log) : View(forms), m_forms(forms), m_log(log) {}

protected:
    std::unique_ptr<TDataEntryForm> newDataEntryForm() override { return std::make_unique<ProbeMainWindow>(m_forms, m_log); }
    std::unique_ptr<TEDSubProjectForm> newDetailsForm() override { return std::make_unique<ProbeDetailsWindow>(m_forms, m_log); }

private:
    Forms& m_forms;
    OpenedWindows& m_log;
};

// A view under test over its fixture, and the log of the windows its double-clicks open. The
// view goes before the fixture.
template <class Form>
struct ViewUnderTest
{
    using View = ProbeView<Form>;

    // Makes the view, over a fresh fixture unless the test made one, and shows it.
    View& open(bool withRows = true)
    {
        if (!fixture)
            fixture = std::make_unique<MainWindowFixture>(withRows);
        view = std::make_unique<View>(fixture->forms, log);
        view->show();
        return *view;
    }
    // A fresh fixture with sql written behind the program's back and table read again, for the
    // view opened next.
    void prepare(const QString& sql, Dataset* TMainDataModule::*table)
    {
        fixture = std::make_unique<MainWindowFixture>();
        fixture->exec(sql);
        Dataset* read = (*fixture->dm).*table;
        read->close();
        read->open();
    }
    void reset()
    {
        view.reset();
        fixture.reset();
        log = {};
    }

    std::unique_ptr<MainWindowFixture> fixture;
    OpenedWindows log;
    std::unique_ptr<View> view;
};
