#include "toolkit/report/BandLayout.h"

#include <algorithm>

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>

#include "toolkit/report/ReportPage.h"

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

bool isText(const ReportElement& e)
{
    switch (e.kind) {
    case ReportElement::Kind::Label:
    case ReportElement::Kind::DataField:
    case ReportElement::Kind::DateTime:
    case ReportElement::Kind::PageNumber:
    case ReportElement::Kind::DetailNumber:
        return true;
    default:
        return false;
    }
}

QRectF boxInPoints(const ReportElement& e)
{
    return {mmToPoints(e.box.left()), mmToPoints(e.box.top()), mmToPoints(e.box.width()), mmToPoints(e.box.height())};
}

// Lines of text that each fit width, broken between words where a word fits, else anywhere.
QStringList wrapped(const QString& text, const QFont& font, qreal width)
{
    QTextLayout layout(text, font, const_cast<QPaintDevice*>(pointDevice()));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.append(text.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

} // namespace

const TextStyle& BandLayout::styleOf(const ReportBand& band, const ReportElement& e) const
{
    return e.style ? *e.style : band.style ? *band.style : m_style;
}

const std::vector<qreal>& BandLayout::rightEdges(const ReportBand& band) const
{
    auto found = m_rightEdges.find(&band);
    if (found != m_rightEdges.end())
        return found->second;
    // An element's rows: its box, or one line of its font where it has no height.
    std::vector<std::pair<qreal, qreal>> rows;
    for (const ReportElement& e : band.elements) {
        const QRectF box = boxInPoints(e);
        const qreal height = box.height() > 0 ? box.height() : QFontMetricsF(styleOf(band, e).font, pointDevice()).height();
        rows.emplace_back(box.top(), box.top() + height);
    }
    std::vector<qreal> edges(band.elements.size(), m_width);
    for (size_t i = 0; i < band.elements.size(); ++i)
        for (size_t j = 0; j < band.elements.size(); ++j) {
            const ReportElement& other = band.elements[j];
            const bool beside = rows[j].first < rows[i].second && rows[i].first < rows[j].second;
            if (j != i && beside && other.kind != ReportElement::Kind::Line
                && other.box.left() > band.elements[i].box.left())
                edges[i] = std::min(edges[i], mmToPoints(other.box.left()));
        }
    return m_rightEdges.emplace(&band, std::move(edges)).first->second;
}

PlacedBand BandLayout::lay(const ReportBand& band, const TextOf& textOf) const
{
    const std::vector<qreal>& edges = rightEdges(band);
    PlacedBand placed;
    // Per element: its box as defined (the rows it claims) and how much taller it prints.
    std::vector<QRectF> defined;
    std::vector<qreal> growth;
    bool grows = false;
    for (size_t i = 0; i < band.elements.size(); ++i) {
        const ReportElement& e = band.elements[i];
        QRectF rect = boxInPoints(e);
        QString text;
        qreal grown = 0;
        if (e.kind == ReportElement::Kind::Memo) {
            text = textOf(e);
            if (!text.isEmpty()) {
                const QFontMetricsF fm(styleOf(band, e).font, pointDevice());
                const QRectF needed = fm.boundingRect(QRectF(0, 0, rect.width() - 2 * MemoPadding, 1e6),
                                                      Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
                grown = std::max<qreal>(0, needed.height() + 2 * MemoPadding - rect.height());
            }
        } else if (isText(e)) {
            text = textOf(e);
            const QFont& font = styleOf(band, e).font;
            const QFontMetricsF fm(font, pointDevice());
            if (rect.height() <= 0)
                rect.setHeight(fm.height());
            if (!text.isEmpty()) {
                const qreal advance = fm.horizontalAdvance(text) + 1;
                qreal room = rect.width();
                if (room <= 0 && (e.alignment & Qt::AlignHCenter)) {
                    // A centred text without a width is centred on its left position.
                    rect.setWidth(advance);
                    rect.moveLeft(rect.left() - advance / 2);
                    room = advance;
                } else if (room <= 0) {
                    room = std::max<qreal>(1, edges[i] - rect.left());
                    rect.setWidth(std::min(advance, room));
                }
                if (advance > room) {
                    const QStringList lines = wrapped(text, font, room - 1);
                    text = lines.join(u'\n');
                    // Lines drawn in a fallback font (CJK, emoji) stand taller than the report font's.
                    const qreal needed = std::max(lines.size() * fm.lineSpacing() - fm.leading(),
                                                  fm.boundingRect(QRectF(0, 0, room, 1e6), Qt::AlignLeft | Qt::AlignTop, text).height());
                    grown = std::max<qreal>(0, needed - rect.height());
                }
            }
        }
        defined.push_back(rect);
        growth.push_back(grown);
        grows = grows || grown > 0;
        rect.setHeight(rect.height() + grown);
        placed.elements.push_back({&e, rect, text});
    }
    placed.height = mmToPoints(band.height);
    if (!grows)
        return placed;
    // An element moves down by what grew above it: the most any element ending at or above its
    // top grew, plus that element's own move.
    std::vector<size_t> order(defined.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return defined[a].top() < defined[b].top(); });
    std::vector<qreal> shift(defined.size(), 0);
    qreal extra = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        for (size_t m = 0; m < k; ++m) {
            const size_t above = order[m];
            if (defined[above].bottom() <= defined[i].top() + 0.01)
                shift[i] = std::max(shift[i], shift[above] + growth[above]);
        }
        placed.elements[i].rect.translate(0, shift[i]);
        extra = std::max(extra, shift[i] + growth[i]);
    }
    placed.height += extra;
    return placed;
}
