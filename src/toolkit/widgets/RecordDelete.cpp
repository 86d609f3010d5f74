#include "toolkit/widgets/RecordDelete.h"

#include "toolkit/db/Dataset.h"
#include "toolkit/dialogs/MessageService.h"

bool deleteWithQuestion(Dataset& dataset)
{
    bool confirmed = false;
    // The dataset ends the changes hanging on the row before it asks, so the question counts
    // what is stored.
    dataset.deleteRecord([&] {
        const QString own = dataset.deleteQuestion ? dataset.deleteQuestion(dataset) : QString();
        confirmed = MessageService::current().confirmDelete(own.isEmpty() ? MessageService::deleteRecordQuestion() : own);
        return confirmed;
    });
    return confirmed;
}
