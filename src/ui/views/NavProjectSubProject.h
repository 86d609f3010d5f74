#pragma once

#include <memory>

#include <QDialog>

#include "ui/main/Forms.h"

class DataSource;
class Dataset;
class DBChart;
class DBGrid;
class QCheckBox;
class QLabel;
class QPushButton;
class TDataEntryForm;
class TEDSubProjectForm;

// The project-subproject view: every project, the subprojects of the selected one and a pie of
// the weights of the people in the selected subproject, which can be drawn flat, printed and
// saved as a bitmap. Read-only; its two datasets follow the shared ProjectsTable and go with
// the window, which leaves the shared datasets where the user put them. The constructor
// throws StoreError when its datasets cannot be opened. GUI thread only.
class TNavProjectSubProjectForm : public QDialog
{
    Q_OBJECT
public:
    explicit TNavProjectSubProjectForm(Forms& forms, QWidget* parent = nullptr);
    ~TNavProjectSubProjectForm() override;

    // Shows the window modally, centred, and returns when it is closed.
    void showModalWindow();

    void DataSource1DataChange();
    void CheckBox1Click();
    void PrintChartClick();
    void SaveBMPClick();
    void DBGrid1DblClick();
    void DBGrid2DblClick();

    Dataset* ADOTable2;
    Dataset* ADOTable1;
    DataSource* DataSource2;
    DataSource* DataSource1;

    QLabel* Label1;
    DBGrid* DBGrid1;
    QLabel* Label2;
    DBGrid* DBGrid2;
    QLabel* Label3;
    DBChart* DBChart1;
    QCheckBox* CheckBox1;
    QPushButton* PrintChart;
    QPushButton* SaveBMP;

protected:
    // The windows a double-click opens, each made for that one use; tests replace them.
    virtual std::unique_ptr<TDataEntryForm> newDataEntryForm();
    virtual std::unique_ptr<TEDSubProjectForm> newDetailsForm();

private:
    void makeDatasets();
    void buildLayout();

    Forms& m_forms;
};
