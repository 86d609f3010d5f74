#include "reports/ReportParts.h"

#include <algorithm>
#include <memory>

#include <QPainter>

#include "toolkit/chart/PiePainter.h"
#include "toolkit/db/Dataset.h"

namespace ReportParts {

TextStyle arial(qreal size, bool bold, const QColor& color)
{
    return reportStyle(QStringLiteral("Arial"), size, bold, color);
}

TextStyle times(qreal size, bool bold, const QColor& color)
{
    return reportStyle(QStringLiteral("Times New Roman"), size, bold, color);
}

ReportBand band(qreal height, const QColor& color, const BandFrame& frame)
{
    ReportBand b;
    b.height = height;
    b.color = color;
    b.frame = frame;
    return b;
}

ReportElement centred(const QString& text, qreal centre, qreal top)
{
    ReportElement e = ReportElement::label(text, centre, top);
    e.alignment = Qt::AlignHCenter;
    return e;
}

ReportElement pie(const QString& name, const QRectF& box, Dataset* dataset, const QString& labelField,
                  const QString& valueField, bool legend, const QString& title)
{
    PieSettings settings;
    settings.percentFormat.clear();
    settings.legend = legend;
    settings.title = title;
    settings.titleFont = arial(10).font;
    // Every pie of a report keeps one copy of the settings: a long report holds many pies.
    const auto shared = std::make_shared<const PieSettings>(settings);
    return ReportElement::picture(name, box, [=] {
        QVector<PieSlice> slices;
        slices.reserve(dataset->recordCount());
        for (int row = 0; row < dataset->recordCount(); ++row)
            slices.append({dataset->valueAt(row, valueField), dataset->textAt(row, labelField)});
        return ReportPicture([shared, slices](QPainter& painter, const QRectF& rect) {
            paintPie(painter, rect, *shared, slices);
        });
    });
}

QList<Catalogue::BuyingRole> rolesByCaption()
{
    QList<Catalogue::BuyingRole> roles = Catalogue::roles();
    std::sort(roles.begin(), roles.end(), [](const auto& a, const auto& b) { return a.caption < b.caption; });
    return roles;
}

} // namespace ReportParts
