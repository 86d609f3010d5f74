#include "ui/main/DataEntry.h"

#include <QAction>

#include "toolkit/widgets/PageControl.h"
#include "ui/main/JumpSearch.h"

void TDataEntryForm::buildJumpSearch()
{
    JumpSearch = new TJumpSearch(m_forms, this);
    connect(JumpSearch, &TJumpSearch::jumped, this, &TDataEntryForm::JumpSearchJumped);
    JumpSearchAction = new QAction(QStringLiteral("&Jump to..."), this);
    JumpSearchAction->setObjectName(QStringLiteral("JumpSearchAction"));
    JumpSearchAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    JumpSearchAction->setShortcutContext(Qt::WindowShortcut);
    addAction(JumpSearchAction);
    connect(JumpSearchAction, &QAction::triggered, this, &TDataEntryForm::JumpSearchActionTrigger);
}

void TDataEntryForm::JumpSearchActionTrigger()
{
    raise();
    activateWindow();
    JumpSearch->open();
}

void TDataEntryForm::JumpSearchJumped(int kind)
{
    static const Page pages[] = {CompaniesPage, ProjectsPage, SubProjectsPage, ClientsPage};
    selectPage(pages[kind]);
}
