#include "toolkit/report/ReportDefinition.h"

TextStyle reportStyle(const QString& family, qreal pointSize, bool bold, const QColor& color)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    // Hinting would make widths depend on the device's resolution.
    font.setHintingPreference(QFont::PreferNoHinting);
    return {font, color};
}

ReportElement ReportElement::label(const QString& text, qreal left, qreal top)
{
    ReportElement e;
    e.kind = Kind::Label;
    e.text = text;
    e.box = QRectF(left, top, 0, 0);
    return e;
}

ReportElement ReportElement::dataField(const QString& source, const QString& field, qreal left, qreal top)
{
    ReportElement e;
    e.kind = Kind::DataField;
    e.source = source;
    e.field = field;
    e.box = QRectF(left, top, 0, 0);
    return e;
}

ReportElement ReportElement::system(Kind kind, const QRectF& box)
{
    ReportElement e;
    e.kind = kind;
    e.box = box;
    return e;
}

ReportElement ReportElement::line(const QRectF& box)
{
    ReportElement e;
    e.kind = Kind::Line;
    e.box = box;
    return e;
}

ReportElement ReportElement::rectangle(const QRectF& box)
{
    ReportElement e;
    e.kind = Kind::Rectangle;
    e.box = box;
    return e;
}

ReportElement ReportElement::memo(const QString& name, const QRectF& box)
{
    ReportElement e;
    e.kind = Kind::Memo;
    e.name = name;
    e.box = box;
    return e;
}

ReportElement ReportElement::picture(const QString& name, const QRectF& box, const std::function<ReportPicture()>& capture)
{
    ReportElement e;
    e.kind = Kind::Picture;
    e.name = name;
    e.box = box;
    e.capture = [capture](const ReportCursor*) { return capture(); };
    return e;
}

ReportElement ReportElement::chart(const QString& name, const QRectF& box, const QString& source,
                                   const std::function<ReportPicture(const ReportCursor& rows)>& capture)
{
    ReportElement e;
    e.kind = Kind::Picture;
    e.name = name;
    e.box = box;
    e.source = source;
    e.capture = [capture](const ReportCursor* rows) { return capture(*rows); };
    return e;
}

namespace {

ReportElement* findIn(ReportBand& band, const QString& name)
{
    for (ReportElement& e : band.elements)
        if (e.name == name)
            return &e;
    return nullptr;
}

ReportElement* findIn(std::optional<ReportBand>& band, const QString& name)
{
    return band ? findIn(*band, name) : nullptr;
}

ReportElement* findIn(std::vector<SubDetail>& subDetails, const QString& name)
{
    for (SubDetail& s : subDetails) {
        for (ReportElement* e : {findIn(s.header, name), findIn(s.band, name), findIn(s.footer, name),
                                 findIn(s.children, name)})
            if (e)
                return e;
    }
    return nullptr;
}

} // namespace

ReportElement* ReportDefinition::element(const QString& name)
{
    for (std::optional<ReportBand>* band : {&pageHeader, &title, &detailHeader, &detail, &summary, &pageFooter})
        if (ReportElement* e = findIn(*band, name))
            return e;
    return findIn(subDetails, name);
}
