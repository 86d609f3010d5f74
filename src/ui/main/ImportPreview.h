#pragma once

#include <QDialog>

#include "data/contacts/ImportPlan.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class ImportPreviewModel;

// The preview of an import, before anything is written: the counts, every contact read with
// its status (new or possible duplicate) and the action chosen for it, the values too long for
// their field marked, and the lines that could not be read. The user sets the action of the
// selected duplicates and what becomes of long values, then imports or cancels. Its columns fit
// their contents, and it opens at the size it was last given. Works on the caller's plan, which
// it changes. GUI thread only.
class TImportPreviewForm : public QDialog
{
    Q_OBJECT
public:
    TImportPreviewForm(Contacts::ImportPlan& plan, QWidget* parent = nullptr);

    QLabel* CountsLabel;
    QTabWidget* PreviewTabs;
    QTableView* ContactsGrid;
    QTableWidget* ProblemsGrid;
    QPushButton* SkipButton;
    QPushButton* AddButton;
    QPushButton* UpdateButton;
    QComboBox* LongValuesBox;
    QLabel* SummaryLabel;
    QPushButton* ImportButton;
    QPushButton* CancelButton;

    // Sets the action of the selected rows.
    void setSelectedAction(Contacts::ImportPlan::Action action);

    void done(int result) override;

private:
    void fitColumns();
    void showSummary();

    Contacts::ImportPlan& m_plan;
    ImportPreviewModel* m_model;
};
