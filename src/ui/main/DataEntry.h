#pragma once

#include <functional>

#include <QIcon>
#include <QList>
#include <QVariant>
#include <QWidget>

#include "ui/main/Forms.h"

class DBEdit;
class DBGrid;
class DBLookupComboBox;
class DBMemo;
class DBNavigator;
class Dataset;
class HtmlViewer;
class PageControl;
class QEventLoop;
class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class QTextEdit;
class QToolButton;
class TJumpSearch;
class TLogPanel;
class TMainDataModule;
class QAction;

// The main window: a page control with the Companies, Projects, Subprojects, Clients,
// Contribution and Help pages, every control bound to the shared datasets of the data module,
// so all instances show the same current records. The long-lived instance is the
// application's main window; others are made for one use and shown modally through the
// Show... operations. Components are public under their own names. GUI thread only.
class TDataEntryForm : public QWidget
{
    Q_OBJECT
public:
    enum Page { CompaniesPage, ProjectsPage, SubProjectsPage, ClientsPage, ContributionPage, HelpPage };

    // Builds the layout; binds at once when forms already has the data module.
    explicit TDataEntryForm(Forms& forms, QWidget* parent = nullptr);
    ~TDataEntryForm() override;

    // Binds the controls to the data module's data sources.
    void BindData();

    // Each moves its dataset to the record with that id (null: nothing moves and the page
    // stays; 0: only the page is selected; not found: nothing moves and the page stays), then
    // shows the window modally until it is closed.
    void ShowCompanyRecord(const QVariant& id);
    // The person found also becomes the one the Clients page shows, with its company current.
    void ShowPersonRecord(const QVariant& id);
    void ShowProjectRecord(const QVariant& id);
    // Starts a new record in the dataset of the page that shows it (1 company, 2 person,
    // 3 project, 4 subproject), selects that page and shows the window modally; any other
    // kind only shows the window. A new record left untouched is dropped when the window closes.
    void ShowNewRecord(int kind);
    // Shows the window modally at the page and records it is on, until it is closed.
    void ShowModal() { showModalWindow(); }

    void FormShow();
    void MainDataEntryChange();
    void StrategiesClick();
    void ContributionButtonClick();
    void DBGrid1EditButtonClick();
    void Button1Click();
    void PeopleTabSheetShow();
    void Edit1Change();
    void SpeedButton1Click();
    void RetailButtonClick();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void BitBtn1Click();
    // Writes the people of the current company, or of all companies, to a vCard or CSV file.
    void ExportClients(bool allPeople, bool csv);
    void DBGrid3ColEnter();
    void DBGrid3DrawColumnCell(QPainter* painter, const QRect& cellRect, int row, int column, bool focused);
    // True when the key toggled the role.
    bool DBGrid3KeyPress(QChar key);
    void DBNavigator6Click();
    void WebBrowser1BeforeNavigate2(const QString& address, bool& cancel);
    void Label38Click();
    void Label39Click();
    // Ctrl+K: the jump search over this window; going to a record brings its page forward.
    void JumpSearchActionTrigger();
    void JumpSearchJumped(int kind);

    // The help file: "Help.htm" in the help folder, which is "help" in the program's folder
    // unless the start-up names the one where the package put it.
    static QString helpFile();
    static void setHelpFolder(const QString& folder);

    QFrame* Splitter1;
    PageControl* MainDataEntry;

    QWidget* CompaniesTabSheet;
    DBNavigator* DBNavigator1;
    DBEdit* DBEdit8;
    DBEdit* DBEdit9;
    DBEdit* DBEdit10;
    DBEdit* DBEdit11;
    DBEdit* DBEdit12;
    DBMemo* DBMemo1;
    DBMemo* DBMemo2;
    QPushButton* Button3;

    QWidget* ProjetcsTabSheet;
    DBNavigator* DBNavigator3;
    DBEdit* DBEdit22;
    DBEdit* DBEdit24;
    DBMemo* DBMemo3;

    QWidget* SubProjectsTabSheet;
    DBNavigator* DBNavigator4;
    DBEdit* DBEdit1;
    DBEdit* DBEdit6;
    DBLookupComboBox* DBLookupComboBox4;
    DBEdit* DBEdit13;
    DBLookupComboBox* DBLookupComboBox3;
    DBMemo* DBMemo4;
    QLabel* HistoryLabel;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator5;
    QPushButton* Button4;
    QPushButton* Strategies;
    QPushButton* ContributionButton;
    QPushButton* Button1;

    QWidget* PeopleTabSheet;
    DBNavigator* DBNavigator2;
    QToolButton* SpeedButton1;
    QFrame* Panel1;
    QLineEdit* Edit1;
    // Why the last Go to did not move.
    QLabel* GoToMessage;
    DBEdit* DBEdit15;
    DBEdit* DBEdit14;
    DBEdit* DBEdit17;
    DBMemo* DBMemo6;
    DBEdit* DBEdit20;
    DBEdit* DBEdit21;
    DBEdit* DBEdit18;
    DBEdit* DBEdit19;
    DBMemo* DBMemo5;
    QPushButton* RetailButton;
    QPushButton* Button5;
    QPushButton* BitBtn1;
    QPushButton* ExportButton;
    // The person's follow-ups and activity log, beside the person.
    TLogPanel* ClientLogPanel;

    QWidget* Contribution;
    DBEdit* DBEdit2;
    DBEdit* DBEdit3;
    DBEdit* DBEdit5;
    DBEdit* DBEdit7;
    QLineEdit* CatagoryTip;
    DBGrid* DBGrid3;
    DBNavigator* DBNavigator6;

    QWidget* HelpSheet;
    QTextEdit* RichEdit1;
    HtmlViewer* WebBrowser1;
    QLabel* Label38;
    QLabel* Label39;

    QAction* JumpSearchAction;
    TJumpSearch* JumpSearch;

protected:
    // Shows the window modally and returns when it is closed; tests replace it.
    virtual void showModalWindow();

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Asks what becomes of unsaved changes of the shared datasets before the window goes.
    void closeEvent(QCloseEvent* event) override;
    // DBGrid3's keys, in the grid and in its cells, reach DBGrid3KeyPress first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildCompaniesPage();
    void buildProjectsPage();
    void buildSubProjectsPage();
    void buildClientsPage();
    void buildTransferButtons(QWidget* page);
    void buildContributionPage();
    void buildHelpPage();
    void buildJumpSearch();
    void bindCompaniesPage(TMainDataModule& dm);
    void bindProjectsPage(TMainDataModule& dm);
    void bindSubProjectsPage(TMainDataModule& dm);
    void bindClientsPage(TMainDataModule& dm);
    void bindContributionPage(TMainDataModule& dm);

    // A person's save was refused for a blank name: the window the user works in (else the
    // long-lived one) brings its Clients page forward with the focus in the Name box.
    void focusPersonName();

    // Selects a page by program, which runs no page prerequisites.
    void selectPage(Page page);
    // The Show...Record steps for one dataset; found runs after the record was found.
    void showAtRecord(Dataset* dataset, const QString& keyField, const QVariant& id, Page page,
                      const std::function<void()>& found = {});

    // The tab images, by image number.
    static QList<QIcon> ImageList1();

    Forms& m_forms;
    // The dataset ShowNewRecord started a record in.
    Dataset* m_newRecordDataset = nullptr;
    QEventLoop* m_modalLoop = nullptr;
    bool m_placed = false;
};
