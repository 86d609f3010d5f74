#include "toolkit/report/ReportLayout.h"

#include <algorithm>
#include <stdexcept>

#include <QDateTime>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>

namespace {

// Text is measured at 72 dots per inch, where a pixel is a point.
const QPaintDevice* pointDevice()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        i.setDotsPerMeterX(2835);
        i.setDotsPerMeterY(2835);
        return i;
    }();
    return &image;
}

constexpr qreal PixelInPoints = 0.75;  // a screen pixel, 1/96 inch
constexpr qreal MemoPadding = 1.5;

// The moment a report starts, as the system's short date and long time.
QString nowText()
{
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + u' ' + locale.toString(now.time(), QLocale::LongFormat);
}

struct Stopped
{
};

class Layout
{
public:
    Layout(const ReportDefinition& definition, const ReportCursors& cursors, PageSink& sink, int firstPage)
        : m_def(definition), m_cursors(cursors), m_sink(sink), m_pageNumber(firstPage),
          m_pageSize(mmToPoints(definition.page.paper.width()), mmToPoints(definition.page.paper.height())),
          m_left(mmToPoints(definition.page.left)),
          m_width(m_pageSize.width() - m_left - mmToPoints(definition.page.right)),
          m_bodyBottom(m_pageSize.height() - mmToPoints(definition.page.bottom) -
                       (definition.pageFooter ? mmToPoints(definition.pageFooter->height) : 0)),
          m_now(nowText())
    {
    }

    int run()
    {
        try {
            startPage();
            place(m_def.title);
            printDetails();
            place(m_def.summary);
            finishPage();
        } catch (const Stopped&) {
        }
        return m_pageNumber;
    }

private:
    void printDetails()
    {
        if (!m_def.mainSource.isEmpty()) {
            ReportCursor& main = cursor(m_def.mainSource);
            main.first();
            if (!main.eof()) {
                for (bool first = true; !main.eof(); first = false) {
                    ++m_detailNumber;
                    if (first)
                        place(m_def.groupHeader);
                    place(m_def.detail);
                    walk(m_def.subDetails);
                    main.next();
                }
                return;
            }
            if (!m_def.printIfEmpty)
                return;
        }
        place(m_def.detail);
        walk(m_def.subDetails);
    }

    void walk(const std::vector<SubDetail>& subDetails)
    {
        for (const SubDetail& sub : subDetails)
            walk(sub);
    }

    void walk(const SubDetail& sub)
    {
        ReportCursor& rows = cursor(sub.source);
        rows.first();
        if (rows.eof() && !sub.printIfEmpty)
            return;
        place(sub.header);
        if (rows.eof()) {
            place(sub.band);
            walk(sub.children);
        }
        for (; !rows.eof(); rows.next()) {
            place(sub.band);
            walk(sub.children);
        }
        place(sub.footer);
    }

    ReportCursor& cursor(const QString& name) const
    {
        ReportCursor* c = m_cursors.value(name);
        if (!c)
            throw std::logic_error(QStringLiteral("The report has no data named '%1'.").arg(name).toStdString());
        return *c;
    }

    // Pages.
    void startPage()
    {
        m_page = ReportPage{m_pageNumber, m_pageSize, {}};
        m_y = mmToPoints(m_def.page.top);
        if (m_def.pageHeader) {
            const qreal height = measure(*m_def.pageHeader);
            draw(*m_def.pageHeader, m_y, height);
            m_y += height;
        }
        m_bodyEmpty = true;
    }

    void finishPage()
    {
        if (m_def.pageFooter)
            draw(*m_def.pageFooter, m_bodyBottom, measure(*m_def.pageFooter));
        m_sink.addPage(std::move(m_page));
        ++m_pageNumber;
    }

    // A band is measured first; one that does not fit starts a new page, unless the page holds
    // nothing yet (a band taller than a page prints cut rather than never).
    void place(const std::optional<ReportBand>& band)
    {
        if (band)
            place(*band);
    }

    void place(const ReportBand& band)
    {
        const qreal height = measure(band);
        if (m_y + height > m_bodyBottom + 0.01 && !m_bodyEmpty) {
            finishPage();
            startPage();
        }
        draw(band, m_y, height);
        m_y += height;
        m_bodyEmpty = false;
        if (!m_sink.keepGoing())
            throw Stopped();
    }

    const TextStyle& styleOf(const ReportBand& band, const ReportElement& e) const
    {
        return e.style ? *e.style : band.style ? *band.style : m_def.style;
    }

    qreal memoHeight(const ReportBand& band, const ReportElement& e) const
    {
        const QRectF box(0, 0, mmToPoints(e.box.width()), mmToPoints(e.box.height()));
        if (e.text.isEmpty())
            return box.height();
        const QFontMetricsF fm(styleOf(band, e).font, pointDevice());
        const QRectF text = fm.boundingRect(QRectF(0, 0, box.width() - 2 * MemoPadding, 1e6),
                                            Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, e.text);
        return std::max(box.height(), text.height() + 2 * MemoPadding);
    }

    qreal measure(const ReportBand& band) const
    {
        qreal grow = 0;
        for (const ReportElement& e : band.elements)
            if (e.kind == ReportElement::Kind::Memo)
                grow = std::max(grow, memoHeight(band, e) - mmToPoints(e.box.height()));
        return mmToPoints(band.height) + grow;
    }

    // Drawing a band at y into the page being filled.
    void draw(const ReportBand& band, qreal y, qreal height)
    {
        const QRectF area(m_left, y, m_width, height);
        if (band.color.isValid() && band.color != Qt::white)
            add(fill(area, band.color));
        for (const ReportElement& e : band.elements)
            drawElement(band, e, area);
        drawFrame(band.frame, area);
    }

    void drawElement(const ReportBand& band, const ReportElement& e, const QRectF& area)
    {
        const QRectF box(area.left() + mmToPoints(e.box.left()), area.top() + mmToPoints(e.box.top()),
                         mmToPoints(e.box.width()), mmToPoints(e.box.height()));
        switch (e.kind) {
        case ReportElement::Kind::Line: {
            const qreal y = box.center().y();
            add(line(QPointF(box.left(), y), QPointF(box.right(), y), e.style ? e.style->color : Qt::black, PixelInPoints));
            break;
        }
        case ReportElement::Kind::Rectangle: {
            ReportPrimitive p = primitive(ReportPrimitive::Kind::Frame, box);
            p.fill = Qt::white;
            p.penWidth = PixelInPoints;
            add(std::move(p));
            break;
        }
        case ReportElement::Kind::Memo:
            drawMemo(band, e, QRectF(box.topLeft(), QSizeF(box.width(), memoHeight(band, e))));
            break;
        case ReportElement::Kind::Picture: {
            ReportPrimitive p = primitive(ReportPrimitive::Kind::Picture, box);
            p.picture = e.capture ? e.capture() : ReportPicture();
            if (p.picture)
                add(std::move(p));
            break;
        }
        default:
            drawText(band, e, box, area);
        }
    }

    QString textOf(const ReportElement& e) const
    {
        switch (e.kind) {
        case ReportElement::Kind::Label:
            return e.text;
        case ReportElement::Kind::DataField: {
            QString text = cursor(e.source).text(e.field);
            text.replace(QLatin1String("\r\n"), QLatin1String(" "));
            text.replace(u'\n', u' ');
            return text;
        }
        case ReportElement::Kind::DateTime:
            return m_now;
        case ReportElement::Kind::PageNumber:
            return QString::number(m_pageNumber);
        case ReportElement::Kind::DetailNumber:
            return QString::number(m_detailNumber);
        default:
            return {};
        }
    }

    // One line; a box without a width fits its text. What runs past the band's right edge is cut.
    void drawText(const ReportBand& band, const ReportElement& e, const QRectF& box, const QRectF& area)
    {
        const QString text = textOf(e);
        if (text.isEmpty())
            return;
        const TextStyle& style = styleOf(band, e);
        const QFontMetricsF fm(style.font, pointDevice());
        QRectF rect = box;
        if (rect.width() <= 0) {
            rect.setWidth(fm.horizontalAdvance(text) + 1);
            // A centred text without a width is centred on its left position.
            if (e.alignment & Qt::AlignHCenter)
                rect.moveLeft(box.left() - rect.width() / 2);
        }
        if (rect.height() <= 0)
            rect.setHeight(fm.height());
        const QRectF clip(rect.left(), rect.top(), std::min(rect.right(), area.right()) - rect.left(), rect.height());
        if (clip.width() <= 0)
            return;
        if (e.background.isValid())
            add(fill(clip, e.background));
        ReportPrimitive p = textPrimitive(rect, text, style);
        p.flags = int(e.alignment) | Qt::AlignTop | Qt::TextSingleLine;
        p.clip = clip;
        add(std::move(p));
    }

    void drawMemo(const ReportBand& band, const ReportElement& e, const QRectF& box)
    {
        if (e.background.isValid())
            add(fill(box, e.background));
        if (!e.text.isEmpty()) {
            const TextStyle& style = styleOf(band, e);
            const QRectF inner = box.adjusted(MemoPadding, MemoPadding, -MemoPadding, -MemoPadding);
            ReportPrimitive p = textPrimitive(inner, e.text, style);
            p.flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
            p.clip = inner;
            add(std::move(p));
        }
        drawFrame(e.frame, box);
    }

    void drawFrame(const BandFrame& frame, const QRectF& r)
    {
        const qreal width = frame.width * PixelInPoints;
        if (frame.top)
            add(line(r.topLeft(), r.topRight(), Qt::black, width));
        if (frame.bottom)
            add(line(r.bottomLeft(), r.bottomRight(), Qt::black, width));
        if (frame.left)
            add(line(r.topLeft(), r.bottomLeft(), Qt::black, width));
        if (frame.right)
            add(line(r.topRight(), r.bottomRight(), Qt::black, width));
    }

    static ReportPrimitive primitive(ReportPrimitive::Kind kind, const QRectF& rect)
    {
        ReportPrimitive p;
        p.kind = kind;
        p.rect = rect;
        return p;
    }

    static ReportPrimitive fill(const QRectF& rect, const QColor& color)
    {
        ReportPrimitive p = primitive(ReportPrimitive::Kind::Fill, rect);
        p.fill = color;
        return p;
    }

    static ReportPrimitive textPrimitive(const QRectF& rect, const QString& text, const TextStyle& style)
    {
        ReportPrimitive p = primitive(ReportPrimitive::Kind::Text, rect);
        p.text = text;
        p.font = style.font;
        p.color = style.color;
        return p;
    }

    static ReportPrimitive line(const QPointF& from, const QPointF& to, const QColor& color, qreal width)
    {
        ReportPrimitive p = primitive(ReportPrimitive::Kind::Line, QRectF(from, to));
        p.color = color;
        p.penWidth = width;
        return p;
    }

    void add(ReportPrimitive p) { m_page.items.push_back(std::move(p)); }

    const ReportDefinition& m_def;
    const ReportCursors& m_cursors;
    PageSink& m_sink;
    int m_pageNumber;
    const QSizeF m_pageSize;
    const qreal m_left, m_width, m_bodyBottom;
    const QString m_now;
    ReportPage m_page;
    qreal m_y = 0;
    bool m_bodyEmpty = true;
    int m_detailNumber = 0;
};

} // namespace

int layoutReport(const ReportDefinition& definition, const ReportCursors& cursors, PageSink& sink, int firstPage)
{
    return Layout(definition, cursors, sink, firstPage).run();
}
