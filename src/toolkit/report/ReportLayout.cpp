#include "toolkit/report/ReportLayout.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

#include <QDateTime>
#include <QLocale>
#include <QSet>

#include "toolkit/report/BandLayout.h"

namespace {

constexpr qreal PixelInPoints = 0.75;  // a screen pixel, 1/96 inch

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
    Layout(const ReportDefinition& definition, const ReportCursors& cursors, const ReportParameters& parameters,
           PageSink& sink, int firstPage)
        : m_def(definition), m_cursors(cursors), m_parameters(parameters), m_sink(sink), m_pageNumber(firstPage),
          m_pageSize(mmToPoints(definition.page.paper.width()), mmToPoints(definition.page.paper.height())),
          m_left(mmToPoints(definition.page.left)),
          m_width(m_pageSize.width() - m_left - mmToPoints(definition.page.right)),
          m_bodyBottom(m_pageSize.height() - mmToPoints(definition.page.bottom) -
                       (definition.pageFooter ? mmToPoints(definition.pageFooter->height) : 0)),
          m_now(nowText()), m_bands(m_width, definition.style)
    {
        addLinked(definition.subDetails);
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
    void addLinked(const std::vector<SubDetail>& subDetails)
    {
        for (const SubDetail& sub : subDetails) {
            if (sub.link)
                m_linked.insert(sub.source);
            addLinked(sub.children);
        }
    }

    void printDetails()
    {
        if (!m_def.mainSource.isEmpty()) {
            ReportCursor& main = cursor(m_def.mainSource);
            toFirst(main);
            if (!main.eof()) {
                for (bool first = true; !main.eof(); first = false) {
                    ++m_detailNumber;
                    if (first)
                        place(m_def.detailHeader, heightOf(m_def.detail));
                    place(m_def.detail, std::max(lead(m_def.subDetails, m_def.mainSource),
                                                 main.onLastRow() ? chartAfter(m_def.summary) : 0));
                    walk(m_def.subDetails, m_def.mainSource);
                    main.next();
                    ++m_moves;
                }
                return;
            }
            if (!m_def.printIfEmpty)
                return;
        }
        place(m_def.detail);
        walk(m_def.subDetails, m_def.mainSource);
    }

    void walk(const std::vector<SubDetail>& subDetails, const QString& master)
    {
        for (const SubDetail& sub : subDetails)
            walk(sub, master);
    }

    void walk(const SubDetail& sub, const QString& master)
    {
        ReportCursor& rows = cursor(sub.source);
        toFirst(rows, &sub, master);
        if (rows.eof() && !sub.printIfEmpty)
            return;
        // A header never ends a page alone, nor a row whose own rows follow on the next.
        place(sub.header, lay(sub.band).height + lead(sub.children, sub.source));
        if (rows.eof()) {
            place(sub.band);
            walk(sub.children, sub.source);
        }
        while (!rows.eof()) {
            // A linked detail's last row of its master is known only where it is the cursor's last.
            place(sub.band, std::max(lead(sub.children, sub.source), rows.onLastRow() ? chartAfter(sub.footer) : 0));
            walk(sub.children, sub.source);
            rows.next();
            skipOthers(rows, sub, master);
            ++m_moves;
        }
        place(sub.footer);
    }

    // Moves a linked detail's rows past those of another master row; a master without a row
    // (printed if empty) has none.
    void skipOthers(ReportCursor& rows, const SubDetail& sub, const QString& master) const
    {
        if (!sub.link)
            return;
        const ReportCursor& owner = cursor(master);
        const QString key = owner.text(sub.link->masterField);
        while (!rows.eof() && (owner.eof() || rows.text(sub.link->detailField) != key))
            rows.next();
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
        ++m_moves;
        m_y = mmToPoints(m_def.page.top);
        if (m_def.pageHeader) {
            const PlacedBand header = lay(*m_def.pageHeader);
            draw(*m_def.pageHeader, m_y, header);
            m_y += header.height;
        }
        m_bodyEmpty = true;
    }

    void finishPage()
    {
        if (m_def.pageFooter)
            draw(*m_def.pageFooter, m_bodyBottom, lay(*m_def.pageFooter));
        m_sink.addPage(std::move(m_page));
        ++m_pageNumber;
    }

    // A band is laid out first; one that does not fit, with what must stay with it (keep, in
    // points), starts a new page, unless the page holds nothing yet (a band taller than a page
    // prints cut rather than never).
    void place(const std::optional<ReportBand>& band, qreal keep = 0)
    {
        if (band)
            place(*band, keep);
    }

    void place(const ReportBand& band, qreal keep = 0)
    {
        const PlacedBand placed = lay(band);
        if (m_y + placed.height + keep > m_bodyBottom + 0.01 && !m_bodyEmpty) {
            finishPage();
            startPage();
        }
        draw(band, m_y, placed);
        m_y += placed.height;
        m_bodyEmpty = false;
        if (!m_sink.keepGoing())
            throw Stopped();
    }

    // A band looked at ahead is laid out again when it prints; nothing it shows changes unless
    // a cursor moves or a page starts, so the layout is kept until then.
    PlacedBand lay(const ReportBand& band) const
    {
        auto& [moves, placed] = m_laid[&band];
        if (moves != m_moves || placed.elements.empty()) {
            placed = m_bands.lay(band, [this](const ReportElement& e) { return textOf(e); });
            moves = m_moves;
        }
        return placed;
    }

    // Looking ahead moves a cursor to its first row (a sub-detail's: the first of its master's
    // row); the walk that follows does not again.
    void toFirst(ReportCursor& rows, const SubDetail* sub = nullptr, const QString& master = {})
    {
        if (m_atFirst == &rows && m_atFirstMoves == m_moves)
            return;
        rows.first();
        if (sub)
            skipOthers(rows, *sub, master);
        m_atFirst = &rows;
        m_atFirstMoves = ++m_moves;
    }

    qreal heightOf(const std::optional<ReportBand>& band) const { return band ? lay(*band).height : 0; }

    // A footer holding a chart stays with the last row where the two fit on a page.
    qreal chartAfter(const std::optional<ReportBand>& footer) const
    {
        if (!footer)
            return 0;
        const bool chart = std::any_of(footer->elements.begin(), footer->elements.end(),
                                       [](const ReportElement& e) { return e.kind == ReportElement::Kind::Picture; });
        return chart ? lay(*footer).height : 0;
    }

    // What must print on the same page as a band that the sub-details follow: the first of them
    // that prints, its header and its first row.
    qreal lead(const std::vector<SubDetail>& subDetails, const QString& master)
    {
        for (const SubDetail& sub : subDetails) {
            ReportCursor& rows = cursor(sub.source);
            toFirst(rows, &sub, master);
            if (!rows.eof() || sub.printIfEmpty)
                return heightOf(sub.header) + lay(sub.band).height;
        }
        return 0;
    }

    // Drawing a laid-out band at y into the page being filled.
    void draw(const ReportBand& band, qreal y, const PlacedBand& placed)
    {
        const QRectF area(m_left, y, m_width, placed.height);
        if (band.color.isValid() && band.color != Qt::white)
            add(fill(area, band.color));
        for (const PlacedElement& e : placed.elements)
            drawElement(band, e, area.topLeft());
        drawFrame(band.frame, area);
    }

    void drawElement(const ReportBand& band, const PlacedElement& placed, const QPointF& origin)
    {
        const ReportElement& e = *placed.element;
        const QRectF box = placed.rect.translated(origin);
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
            drawMemo(band, e, placed.text, box);
            break;
        case ReportElement::Kind::Picture: {
            ReportPrimitive p = primitive(ReportPrimitive::Kind::Picture, box);
            p.picture = e.capture ? e.capture(e.source.isEmpty() ? nullptr : &cursor(e.source)) : ReportPicture();
            if (p.picture)
                add(std::move(p));
            break;
        }
        default:
            drawText(band, e, placed.text, box);
        }
    }

    QString textOf(const ReportElement& e) const
    {
        switch (e.kind) {
        case ReportElement::Kind::Label:
            return e.text;
        case ReportElement::Kind::Memo:
            return e.parameter.isEmpty() ? e.text : m_parameters.value(e.parameter);
        case ReportElement::Kind::DataField: {
            const ReportCursor& rows = cursor(e.source);
            // Past its master's rows a linked cursor stands on another master's row.
            if (rows.eof() && m_linked.contains(e.source))
                return {};
            QString text = rows.text(e.field);
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

    void drawText(const ReportBand& band, const ReportElement& e, const QString& text, const QRectF& box)
    {
        if (text.isEmpty())
            return;
        if (e.background.isValid())
            add(fill(box, e.background));
        ReportPrimitive p = textPrimitive(box, text, m_bands.styleOf(band, e));
        p.flags = int(e.alignment) | Qt::AlignTop;
        p.clip = box;
        add(std::move(p));
    }

    void drawMemo(const ReportBand& band, const ReportElement& e, const QString& text, const QRectF& box)
    {
        if (e.background.isValid())
            add(fill(box, e.background));
        if (!text.isEmpty()) {
            const TextStyle& style = m_bands.styleOf(band, e);
            const qreal padding = BandLayout::MemoPadding;
            const QRectF inner = box.adjusted(padding, padding, -padding, -padding);
            ReportPrimitive p = textPrimitive(inner, text, style);
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
    QSet<QString> m_linked;  // the cursors of linked sub-details
    const ReportParameters& m_parameters;
    PageSink& m_sink;
    int m_pageNumber;
    const QSizeF m_pageSize;
    const qreal m_left, m_width, m_bodyBottom;
    const QString m_now;
    const BandLayout m_bands;
    ReportPage m_page;
    // Counts the walk's moves and pages; what was laid out at a count, and the cursor last moved
    // to its first row.
    quint64 m_moves = 0;
    mutable std::unordered_map<const ReportBand*, std::pair<quint64, PlacedBand>> m_laid;
    const ReportCursor* m_atFirst = nullptr;
    quint64 m_atFirstMoves = 0;
    qreal m_y = 0;
    bool m_bodyEmpty = true;
    int m_detailNumber = 0;
};

} // namespace

int layoutReport(const ReportDefinition& definition, const ReportCursors& cursors, PageSink& sink, int firstPage,
                 const ReportParameters& parameters)
{
    return Layout(definition, cursors, parameters, sink, firstPage).run();
}
