#pragma once

#include <memory>

#include <QDialog>

#include "ui/main/Forms.h"

class DataSource;
class Dataset;
class DBChart;
class DBGrid;
class QLabel;
class TDataEntryForm;
class TEDSubProjectForm;

// The person-subproject view: every person, the buying-role rows of the selected one and a
// 3D pie of that person's weights, one slice a subproject. Read-only; its dataset follows the
// shared PeopleTable, is opened when the window becomes active and closed when it closes, and
// goes with the window. GUI thread only.
class TNavPersonSubProjectForm : public QDialog
{
    Q_OBJECT
public:
    explicit TNavPersonSubProjectForm(Forms& forms, QWidget* parent = nullptr);
    ~TNavPersonSubProjectForm() override;

    // Shows the window modally, centred, and returns when it is closed.
    void showModalWindow();

    void FormActivate();
    void FormClose();
    void DataSource1DataChange();
    void DBGrid1DblClick();
    void DBGrid2DblClick();

    Dataset* DetBusinessTable;
    DataSource* DataSource1;

    QLabel* Label1;
    DBGrid* DBGrid1;
    QLabel* Label2;
    DBGrid* DBGrid2;
    DBChart* DBChart1;

    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    // The windows a double-click opens, each made for that one use; tests replace them.
    virtual std::unique_ptr<TDataEntryForm> newDataEntryForm();
    virtual std::unique_ptr<TEDSubProjectForm> newDetailsForm();

private:
    void makeDatasets();
    void buildLayout();

    Forms& m_forms;
};
