#pragma once

#include <QStringList>
#include <QVariant>

#include "reports/ReportForm.h"

class Connection;

// "Persons": the current person with the person's contributions and a pie of their weights.
// The memo under "Tactics" shows the tactic advice of the person's stored answers.
class TPersons : public ReportForm
{
    Q_OBJECT
public:
    explicit TPersons(TMainDataModule& dataModule, QObject* parent = nullptr);

protected:
    // Reads the current person's advice into TacticksQRMemo; creates no answer rows.
    ReportParameters prepare() override;
};

// The advice lines for a person's stored answers, as the profile window shows them; a person
// without answer rows gets those of the unanswered case. Reads only. Throws StoreError.
QStringList personTacticLines(Connection& connection, const QVariant& personId);
