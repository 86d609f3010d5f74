#include "ui/pipeline/PipelineReport.h"

#include <QApplication>

#include "toolkit/report/PreviewService.h"
#include "toolkit/report/ReportCursor.h"
#include "toolkit/report/ReportLayout.h"
#include "toolkit/report/ReportPreview.h"

namespace {

const QString Source = QStringLiteral("Pipeline");

// Left edge and width of each column on a landscape Letter page, in mm.
struct Place
{
    qreal left, width;
};
const Place Places[Pipeline::ColumnCount] = {{0, 36},   {36, 30},  {66, 30},  {96, 24},  {120, 16},
                                             {136, 26}, {162, 18}, {180, 10}, {190, 11}, {201, 14},
                                             {215, 16}, {231, 16}, {247, 12}};

// The rows shown, in their order; fields are named by column number.
class RowsCursor : public ReportCursor
{
public:
    RowsCursor(const std::vector<Pipeline::Row>& rows, const std::vector<int>& shown) : m_rows(rows), m_shown(shown) {}

    void first() override { m_index = 0; }
    void next() override { ++m_index; }
    bool eof() const override { return m_index >= m_shown.size(); }
    bool onLastRow() const override { return m_index + 1 == m_shown.size(); }
    QString text(const QString& field) const override
    {
        // Past the end it stays on the last row, as a dataset does.
        if (m_shown.empty())
            return {};
        const size_t at = std::min(m_index, m_shown.size() - 1);
        return Pipeline::cellText(m_rows[size_t(m_shown[at])], Pipeline::Column(field.toInt()));
    }
    int rowCount() const override { return int(m_shown.size()); }
    QString textAt(int row, const QString& field) const override
    {
        return Pipeline::cellText(m_rows[size_t(m_shown[size_t(row)])], Pipeline::Column(field.toInt()));
    }
    QVariant valueAt(int row, const QString& field) const override { return textAt(row, field); }

private:
    const std::vector<Pipeline::Row>& m_rows;
    const std::vector<int>& m_shown;
    size_t m_index = 0;
};

QString printedTitle(Pipeline::Column c)
{
    // The role columns are narrow on paper.
    switch (c) {
    case Pipeline::DecisionMaker: return QStringLiteral("Decides");
    case Pipeline::GateKeeper: return QStringLiteral("Gate k.");
    default: return Pipeline::columnTitle(c);
    }
}

} // namespace

ReportDefinition pipelineReport()
{
    ReportDefinition report;
    report.caption = QStringLiteral("Pipeline");
    report.page.paper = QSizeF(279.4, 215.9);
    report.style = reportStyle(QStringLiteral("Arial"), 8);
    report.mainSource = Source;
    report.printIfEmpty = false;

    ReportBand header;
    header.height = 14;
    header.add(ReportElement::label(QStringLiteral("Pipeline"), 0, 0).styled(reportStyle(QStringLiteral("Arial"), 14, true)));
    for (int c = 0; c < Pipeline::ColumnCount; ++c) {
        ReportElement title = ReportElement::label(printedTitle(Pipeline::Column(c)), Places[c].left, 8);
        title.box.setSize(QSizeF(Places[c].width - 1, 4.5));
        header.add(title.styled(reportStyle(QStringLiteral("Arial"), 8, true)));
    }
    header.add(ReportElement::line(QRectF(0, 13, 259, 0)));
    report.pageHeader = header;

    ReportBand detail;
    detail.height = 4.6;
    for (int c = 0; c < Pipeline::ColumnCount; ++c) {
        ReportElement cell = ReportElement::dataField(Source, QString::number(c), Places[c].left, 0.3);
        cell.box.setSize(QSizeF(Places[c].width - 1, 4));
        detail.add(cell);
    }
    report.detail = detail;

    ReportBand footer;
    footer.height = 6;
    footer.add(ReportElement::system(ReportElement::Kind::DateTime, QRectF(0, 1, 0, 0)));
    ReportElement page = ReportElement::system(ReportElement::Kind::PageNumber, QRectF(239, 1, 20, 0));
    page.alignment = Qt::AlignRight;
    footer.add(page);
    report.pageFooter = footer;
    return report;
}

void previewPipeline(const std::vector<Pipeline::Row>& rows, const std::vector<int>& shown)
{
    const ReportDefinition report = pipelineReport();
    RowsCursor cursor(rows, shown);
    const ReportCursors cursors{{Source, &cursor}};
    ReportPreview preview(report.caption, [&](PageSink& sink) { layoutReport(report, cursors, sink); },
                          QApplication::activeWindow());
    PreviewService::current().run(preview);
}
