#include "toolkit/widgets/RecordDelete.h"

#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/MessageService.h"

bool deleteWithQuestion(Dataset& dataset)
{
    const QString own = dataset.deleteQuestion ? dataset.deleteQuestion(dataset) : QString();
    if (!MessageService::current().confirmDelete(own.isEmpty() ? MessageService::deleteRecordQuestion() : own))
        return false;
    dataset.deleteRecord();
    return true;
}
