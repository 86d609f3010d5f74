#include "ui/main/DataEntry.h"

#include "ui/main/PageLayout.h"

void TDataEntryForm::buildClientsPage()
{
    PeopleTabSheet = PageLayout::named(new QWidget, "PeopleTabSheet");
}
