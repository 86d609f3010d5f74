#include "reports/ListReport.h"

#include "data/DataModule.h"
#include "reports/ReportParts.h"
#include "toolkit/db/Dataset.h"

using namespace ReportParts;

ListReport::ListReport(TMainDataModule& dataModule, const QString& name, const QString& caption, const QString& sql,
                       const QString& table, const QString& key, QObject* parent)
    : ReportForm(dataModule, name, caption, parent)
{
    ADOQuery1 = new Dataset(dataModule.MainADOConnection(), QStringLiteral("ADOQuery1"), this);
    ADOQuery1->setSql(sql, table, key);
    ADOQuery1->setReadOnly(true);
    addCursor(ADOQuery1);
}

ReportParameters ListReport::prepare()
{
    ADOQuery1->close();
    ADOQuery1->open();
    return {};
}

void ListReport::setLayout(const QString& heading, qreal centre, const std::vector<Heading>& headings,
                           const std::vector<Column>& columns)
{
    const QString query = ADOQuery1->name();
    QuickRep1.mainSource = query;

    QuickRep1.pageHeader = band(10.6);
    QuickRep1.pageHeader->add(centred(heading, centre, 0).styled(times(18, true, Navy)));

    QuickRep1.title = band(11.4);
    for (const Heading& h : headings)
        QuickRep1.title->add(ReportElement::label(QLatin1String(h.text), h.left, 2.1).styled(times(14, true, Navy)));
    QuickRep1.title->add(ReportElement::line(QRectF(6.3, 8.5, 186.5, 0)).styled(arial(10, false, Navy)));
    QuickRep1.title->add(ReportElement::line(QRectF(0.0, 12.7, 195.0, 0)));

    QuickRep1.detail = band(16.9);
    for (const Column& c : columns)
        QuickRep1.detail->add(ReportElement::dataField(query, QLatin1String(c.field), c.left, c.top)
                                  .styled(arial(10, &c == &columns.front()))
                                  .on(Qt::white));
    QuickRep1.detail->add(ReportElement::line(QRectF(6.3, 12.7, 186.5, 0)));

    QuickRep1.pageFooter = band(6.1);
    QuickRep1.pageFooter->add(ReportElement::system(ReportElement::Kind::DateTime, QRectF(0, 0, 0, 0)).styled(arial(10)));
    ReportElement page = ReportElement::system(ReportElement::Kind::PageNumber, QRectF(182.0, 0, 13.0, 0));
    page.alignment = Qt::AlignRight;
    QuickRep1.pageFooter->add(page.styled(arial(10, true, Navy)));
}
