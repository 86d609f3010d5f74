#include "ui/main/DataEntry.h"

#include "ui/main/PageLayout.h"

void TDataEntryForm::buildHelpPage()
{
    HelpSheet = PageLayout::named(new QWidget, "HelpSheet");
}

// Runs on every show of the window; the Help page loads its file here.
void TDataEntryForm::FormShow()
{
}
