#pragma once

#include <memory>

#include <QDialog>

#include "ui/main/Forms.h"

class DataSource;
class Dataset;
class DBGrid;
class QLabel;
class TDataEntryForm;

// The company-people view: every company, and below it the people of the selected company,
// both read-only. Selecting a company moves the shared CompaniesTable; ADOTable2 is this
// window's own list of that company's people. A double-click (or Enter) on a row opens a
// fresh main window at that company or person. Made for one use by its caller and freed
// after the modal show; the constructor throws StoreError when ADOTable2 cannot be opened.
// GUI thread only.
class TNavCompanyPersonForm : public QDialog
{
    Q_OBJECT
public:
    explicit TNavCompanyPersonForm(Forms& forms, QWidget* parent = nullptr);
    ~TNavCompanyPersonForm() override;

    void DBGrid1DblClick();
    void DBGrid2DblClick();

    QLabel* Label1;
    DBGrid* DBGrid1;
    QLabel* Label2;
    DBGrid* DBGrid2;
    Dataset* ADOTable2;
    DataSource* DataSource2;

protected:
    // The main window made for one double-click; tests replace it.
    virtual std::unique_ptr<TDataEntryForm> newDataEntryForm();

private:
    void makeDatasets();
    void buildLayout();

    Forms& m_forms;
};
