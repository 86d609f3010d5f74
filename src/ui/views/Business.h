#pragma once

#include <QDialog>

#include "ui/main/Forms.h"

class DataSource;
class Dataset;
class DBCheckBox;
class DBEdit;
class DBLookupComboBox;
class DBNavigator;
class DBText;
class QLabel;

// The transactions window: the rows of Business one at a time on the shared BusinessTable,
// with the person and the subproject picked from drop-down lists that move PeopleTable and
// SubProjectsTable. Beside them, the company and title of the current row's person and the
// name and company of its subproject's project, following the row as it moves or is changed.
// A pending change stays in BusinessTable when the window closes. Made for one use by its
// caller and freed after the modal show; the constructor throws StoreError when the texts'
// rows cannot be read. GUI thread only.
class TBusinessForm : public QDialog
{
    Q_OBJECT
public:
    explicit TBusinessForm(Forms& forms, QWidget* parent = nullptr);
    ~TBusinessForm() override;

    DBNavigator* DBNavigator1;
    QLabel* Label2;
    DBLookupComboBox* DBLookupComboBox1;
    QLabel* Label3;
    DBText* DBText1;
    QLabel* Label4;
    DBText* DBText2;
    QLabel* Label1;
    DBLookupComboBox* DBLookupComboBox2;
    QLabel* Label6;
    DBText* DBText3;
    QLabel* Label5;
    DBText* DBText4;
    DBCheckBox* DBCheckBox1;
    DBCheckBox* DBCheckBox2;
    DBCheckBox* DBCheckBox3;
    DBCheckBox* DBCheckBox4;
    DBCheckBox* DBCheckBox5;
    QLabel* Label7;
    DBEdit* WeightEdit;

    // The row's person and that person's company, for DBText2 and DBText1.
    Dataset* RowPersonTable;
    DataSource* RowPersonDS;
    Dataset* PersonCompanyTable;
    DataSource* PersonCompanyDS;
    // The row's subproject, its project and that project's company, for DBText3 and DBText4.
    Dataset* RowSubProjectTable;
    DataSource* RowSubProjectDS;
    Dataset* RowProjectTable;
    DataSource* RowProjectDS;
    Dataset* ProjectCompanyTable;
    DataSource* ProjectCompanyDS;

private:
    void makeDatasets();
    void buildLayout();

    Forms& m_forms;
};
