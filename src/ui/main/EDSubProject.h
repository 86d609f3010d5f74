#pragma once

#include <QDialog>

#include "ui/main/Forms.h"

class DataSource;
class Dataset;
class DBEdit;
class DBGrid;
class DBLookupComboBox;
class DBNavigator;
class DBText;
class QLabel;
class QPushButton;
class TLogPanel;

// The subproject details window: one subproject of the plain subproject table with its status
// history and the people in its buying decision, the two lists editable here. Its own
// datasets follow SubProjectsDataSource and carry no rules of their own. Made for one use by
// its caller and freed after the modal show. The constructor throws StoreError when its
// datasets cannot be opened. GUI thread only.
class TEDSubProjectForm : public QDialog
{
    Q_OBJECT
public:
    explicit TEDSubProjectForm(Forms& forms, QWidget* parent = nullptr);

    // 0: shows the window at the current subproject. Otherwise moves SubProjectsTable to that
    // subproject and shows the window, or returns at once when there is none.
    void ShowSubProjectDetails(qint64 id);
    // Shows the window modally and returns when it is closed.
    virtual void showModalWindow();

    void DBGrid1EditButtonClick();

    Dataset* HistoryTable;
    Dataset* PersonsTable;
    // The project of the shown subproject, for the name of its company.
    Dataset* SubProjectProjectTable;
    DataSource* HistoryDataSource;
    DataSource* PersonsDataSource;
    DataSource* SubProjectProjectDS;
    // The subproject's follow-ups and activity log, shown beside it on request.
    Dataset* FollowUpsTable;
    Dataset* ActivitiesTable;
    DataSource* FollowUpsDataSource;
    DataSource* ActivitiesDataSource;

    DBEdit* DBEdit1;
    DBEdit* DBEdit6;
    DBText* DBText5;
    DBLookupComboBox* DBLookupComboBox2;
    DBLookupComboBox* DBLookupComboBox4;
    DBNavigator* DBNavigator4;
    QLabel* HistoryLabel;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator2;
    QLabel* PersonsLabel;
    DBGrid* DBGrid2;
    DBNavigator* DBNavigator1;
    QPushButton* LogButton;
    TLogPanel* LogPanel;

    // Shows or hides the follow-ups and the log; the window widens to make room for them.
    void LogButtonToggled(bool shown);

    // Closing (the close box or Escape) first settles unsaved rows of the two lists.
    void reject() override;

private:
    void makeDatasets();
    void buildLayout();

    Forms& m_forms;
};
