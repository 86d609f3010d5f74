#pragma once

#include <vector>

#include "reports/ReportForm.h"

// The layout the two list reports share: the report's name on every page, the column
// headings on the first, one detail band per row of the query ADOQuery1 with a rule under
// it, and the date and page number at the foot of every page. The query runs each time the
// report is produced, so the list shows the rows stored at that moment.
class ListReport : public ReportForm
{
    Q_OBJECT
public:
    struct Heading
    {
        const char* text;
        qreal left;
    };
    struct Column
    {
        const char* field;
        qreal left, top;
    };

    ListReport(TMainDataModule& dataModule, const QString& name, const QString& caption, const QString& sql,
               const QString& table, const QString& key, QObject* parent);

    Dataset* ADOQuery1;

protected:
    // The page header's text centred at centre (mm), the headings, and the detail fields; the
    // first field prints bold.
    void setLayout(const QString& heading, qreal centre, const std::vector<Heading>& headings,
                   const std::vector<Column>& columns);
    ReportParameters prepare() override;
};
