#pragma once

#include <memory>

#include <QMainWindow>

#include "ui/main/Forms.h"

class QAction;
class QDialog;
class QMenu;
class QMenuBar;
class TDataEntryForm;

// The menu window: a menu bar from which every other window opens, each made for that one
// use, shown modally and freed when it closes, also after an error (shown in the error box).
// It owns the one set of menu actions; other windows carry copies of its menus made of the
// same actions (addMenusTo). Long-lived; owns no data. GUI thread only.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(Forms& forms, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Adds menus with the same captions and actions as MainMenu1 to bar; the "&Open" menu there
    // also offers this window itself ("&Menu Window").
    void addMenusTo(QMenuBar* bar);
    // Shows this window, maximised, above the others until it is closed.
    void ShowMenuWindow();

    void BackUp1Click();
    void Restore1Click();
    void Exit1Click();
    void Company1Click();
    void Project1Click();
    void SebProject1Click();
    void Person1Click();
    void Companies1Click();
    void Projects1Click();
    void SubProjects1Click();
    void People1Click();
    void CompanyPeople1Click();
    void ProjectSubProject1Click();
    void PersonSubProject1Click();
    void Pipeline1Click();
    void JumpTo1Click();
    void ransaction1Click();
    void OpenSubProject1Click();
    void Due1Click();
    void N11Click();
    void N21Click();
    void N2Click();
    void StructuredClick();
    void About1Click();
    void Contents1Click();
    void VisitWEBSite1Click();

    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* BackUp1;
    QAction* Restore1;
    QAction* Exit1;
    QMenu* New1;
    QAction* Company1;
    QAction* Project1;
    QAction* SebProject1;
    QAction* Person1;
    QMenu* DataEntry1;
    QAction* Companies1;
    QAction* Projects1;
    QAction* SubProjects1;
    QAction* People1;
    QMenu* N3;
    QAction* CompanyPeople1;
    QAction* ProjectSubProject1;
    QAction* PersonSubProject1;
    QAction* Pipeline1;
    QAction* JumpTo1;
    QMenu* Business1;
    QAction* ransaction1;
    QAction* OpenSubProject1;
    QAction* Due1;
    QMenu* Reports1;
    QAction* N11;
    QAction* N21;
    QAction* N2;
    QAction* Structured;
    QMenu* help1;
    QAction* About1;
    QAction* Contents1;
    QAction* VisitWEBSite1;
    QAction* MenuWindow1;

protected:
    // The main window made for one menu item; tests replace it.
    virtual std::unique_ptr<TDataEntryForm> newDataEntryForm();
    // Shows a window made for one menu item modally; returns when it is closed. Tests replace it.
    virtual void showModal(QDialog& window);

private:
    void buildMenus();
    void openNewRecord(int kind);
    void openAtPage(int page);
    template <class Window>
    void openWindow();

    Forms& m_forms;
};
