#include "reports/ReportParts.h"

#include <algorithm>
#include <memory>

#include <QDataStream>
#include <QIODevice>
#include <QPainter>

#include "toolkit/chart/PiePainter.h"
#include "toolkit/report/ReportCursor.h"

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

ReportElement pie(const QString& name, const QRectF& box, const QString& source, const QString& labelField,
                  const QString& valueField, bool legend, const QString& title)
{
    PieSettings settings;
    settings.percentFormat.clear();
    settings.legend = legend;
    settings.title = title;
    settings.titleFont = arial(10).font;
    // A long report holds many pies: they share the settings and the drawing, and each keeps
    // only its slices, as data written with its page.
    const auto draw = std::make_shared<const ReportPictureRoutine>([settings](QPainter& painter, const QRectF& rect,
                                                                              const QByteArray& data) {
        QDataStream in(data);
        qint32 count = 0;
        in >> count;
        QVector<PieSlice> slices(std::max(count, 0));
        for (PieSlice& slice : slices)
            in >> slice.value >> slice.label;
        paintPie(painter, rect, settings, slices);
    });
    return ReportElement::chart(name, box, source, [=](const ReportCursor& rows) {
        QByteArray data;
        QDataStream out(&data, QIODevice::WriteOnly);
        out << qint32(rows.rowCount());
        for (int row = 0; row < rows.rowCount(); ++row)
            out << rows.valueAt(row, valueField) << rows.textAt(row, labelField);
        return ReportPicture(draw, data);
    });
}

QList<Catalogue::BuyingRole> rolesByCaption()
{
    QList<Catalogue::BuyingRole> roles = Catalogue::roles();
    std::sort(roles.begin(), roles.end(), [](const auto& a, const auto& b) { return a.caption < b.caption; });
    return roles;
}

void addCaption(ReportBand& band, const QString& text, qreal left, qreal top)
{
    band.add(ReportElement::label(text, left, top).styled(arial(10, true)).on(Qt::white));
}

void addValue(ReportBand& band, const QString& source, const QString& field, qreal left, qreal top)
{
    band.add(ReportElement::dataField(source, field, left, top).styled(arial(10)).on(Silver));
}

void addRoles(ReportBand& band, const QString& source, const qreal (&captionLefts)[5], qreal captionTop,
              const qreal (&valueLefts)[5], qreal valueTop)
{
    const QList<Catalogue::BuyingRole> roles = rolesByCaption();
    for (int i = 0; i < roles.size() && i < 5; ++i) {
        addCaption(band, roles[i].caption, captionLefts[i], captionTop);
        addValue(band, source, roles[i].field, valueLefts[i], valueTop);
    }
}

} // namespace ReportParts
