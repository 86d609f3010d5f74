#include "ui/main/DataEntry.h"

#include "ui/main/PageLayout.h"

void TDataEntryForm::buildContributionPage()
{
    Contribution = PageLayout::named(new QWidget, "Contribution");
}
