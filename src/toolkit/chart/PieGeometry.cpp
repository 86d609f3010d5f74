#include "toolkit/chart/PieGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QRegularExpression>

namespace {

constexpr double MarkPadding = 3;
constexpr double Margin = 4;
constexpr double LegendSwatch = 10;

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

bool numeric(const QVariant& value, double* number)
{
    if (value.isNull())
        return false;
    bool ok = false;
    *number = value.toDouble(&ok);
    return ok && std::isfinite(*number);
}

QString valueText(double value)
{
    return QString::number(value, 'g', 15);
}

// Boxes on one side of the pie, top to bottom, pushed apart so no two overlap.
void spreadVertically(QVector<PieMark*>& side)
{
    std::sort(side.begin(), side.end(), [](const PieMark* a, const PieMark* b) { return a->box.center().y() < b->box.center().y(); });
    for (int i = 1; i < side.size(); ++i) {
        const double minTop = side[i - 1]->box.bottom() + 1;
        if (side[i]->box.top() < minTop)
            side[i]->box.moveTop(minTop);
    }
}

// Boxes pushed below the chart's bottom move back up, those above them as far as needed.
void keepAbove(QVector<PieMark*>& side, double bottom)
{
    for (auto mark = side.rbegin(); mark != side.rend(); ++mark) {
        if ((*mark)->box.bottom() > bottom)
            (*mark)->box.moveBottom(bottom);
        bottom = (*mark)->box.top() - 1;
    }
}

} // namespace

namespace PieGeometry {

QString formatNumber(double value, const QString& pattern)
{
    const auto isPicture = [](QChar c) { return c == u'#' || c == u'0' || c == u'.' || c == u','; };
    int begin = 0;
    while (begin < pattern.size() && !isPicture(pattern[begin]))
        ++begin;
    int end = begin;
    while (end < pattern.size() && isPicture(pattern[end]))
        ++end;
    const QString picture = pattern.mid(begin, end - begin);
    const int point = picture.indexOf(u'.');
    const QString whole = point < 0 ? picture : picture.left(point);
    const QString fraction = point < 0 ? QString() : picture.mid(point + 1);
    const int minWhole = int(whole.count(u'0'));
    const int minFraction = int(fraction.count(u'0'));
    const int maxFraction = int(fraction.count(u'0') + fraction.count(u'#'));

    QString text = QString::number(std::abs(value), 'f', maxFraction);
    if (maxFraction > 0) {
        int keep = int(text.size());
        const int pointAt = int(text.indexOf(u'.'));
        while (keep - pointAt - 1 > minFraction && text[keep - 1] == u'0')
            --keep;
        if (keep - pointAt - 1 == 0)
            --keep;
        text.truncate(keep);
    }
    const int pointAt = int(text.indexOf(u'.'));
    QString digits = pointAt < 0 ? text : text.left(pointAt);
    const QString rest = pointAt < 0 ? QString() : text.mid(pointAt);
    if (digits == u"0" && minWhole == 0 && !rest.isEmpty())
        digits.clear();
    while (digits.size() < minWhole)
        digits.prepend(u'0');
    const bool negative = value < 0 && (digits + rest).contains(QRegularExpression(QStringLiteral("[1-9]")));
    return pattern.left(begin) + (negative ? QStringLiteral("-") : QString()) + digits + rest + pattern.mid(end);
}

QColor paletteColor(int index)
{
    static const QColor colors[] = {
        QColor(0xd6, 0x27, 0x28), QColor(0x2c, 0xa0, 0x2c), QColor(0xf2, 0xc6, 0x1f), QColor(0x1f, 0x77, 0xb4),
        QColor(0x94, 0x67, 0xbd), QColor(0xff, 0x7f, 0x0e), QColor(0x17, 0xbe, 0xcf), QColor(0x8c, 0x56, 0x4b),
        QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22), QColor(0x00, 0x33, 0x80),
        QColor(0x80, 0x00, 0x00), QColor(0x00, 0x80, 0x80), QColor(0xaa, 0xaa, 0xff), QColor(0x55, 0x55, 0x00),
    };
    const int count = int(std::size(colors));
    return colors[((index % count) + count) % count];
}

QVector<PieSliceShape> slices(const PieSettings& settings, const QVector<PieSlice>& input)
{
    QVector<PieSliceShape> shapes(input.size());
    double sum = 0;
    for (int i = 0; i < input.size(); ++i) {
        double v = 0;
        if (numeric(input[i].value, &v)) {
            shapes[i].value = v;
            sum += std::abs(v);
            shapes[i].drawn = true;
        }
    }
    double angle = std::fmod(double(settings.rotation), 360.0);
    for (int i = 0; i < input.size(); ++i) {
        PieSliceShape& s = shapes[i];
        // Nothing to share out: no wedge and no "nan %" mark. A zero beside others keeps its
        // mark, on a wedge of no width.
        s.drawn = s.drawn && sum > 0;
        if (!s.drawn)
            continue;
        s.percent = std::abs(s.value) * 100.0 / sum;
        s.startAngle = angle;
        s.spanAngle = std::abs(s.value) * 360.0 / sum;
        angle += s.spanAngle;
        s.color = paletteColor(i);
        s.markText = input[i].label.isEmpty() ? valueText(s.value) : input[i].label;
        if (!settings.percentFormat.isEmpty())
            s.markText += u' ' + formatNumber(s.percent, settings.percentFormat);
    }
    return shapes;
}

QFont markFont()
{
    QFont font;
    font.setPixelSize(11);
    return font;
}

QFont titleFont(const PieSettings& settings)
{
    QFont font = settings.titleFont;
    // Sized in the painter's units, so a scaled painter scales the text with the pie.
    if (font.pixelSize() <= 0)
        font.setPixelSize(int(std::lround(font.pointSizeF() * 96.0 / 72.0)));
    return font;
}

PieLayout layout(const QRectF& rect, const PieSettings& settings, const QVector<PieSlice>& input)
{
    PieLayout result;
    result.slices = slices(settings, input);
    QRectF area = rect.adjusted(Margin, Margin, -Margin, -Margin);

    const QFontMetricsF titleMetrics(titleFont(settings));
    auto lineHeight = [&](const QString& text) { return double(text.count(u'\n') + 1) * titleMetrics.lineSpacing(); };
    if (!settings.title.isNull()) {
        result.titleRect = QRectF(area.left(), area.top(), area.width(), lineHeight(settings.title));
        area.setTop(result.titleRect.bottom() + Margin);
    }
    if (!settings.foot.isEmpty()) {
        const double h = lineHeight(settings.foot);
        result.footRect = QRectF(area.left(), area.bottom() - h, area.width(), h);
        area.setBottom(result.footRect.top() - Margin);
    }

    const QFontMetricsF markMetrics(markFont());
    if (settings.legend && !input.isEmpty()) {
        double width = 0;
        for (int i = 0; i < input.size(); ++i) {
            const QString text = input[i].label.isEmpty() ? valueText(result.slices[i].value) : input[i].label;
            width = std::max(width, markMetrics.horizontalAdvance(text));
        }
        width += LegendSwatch + 3 * MarkPadding;
        const double height = input.size() * markMetrics.lineSpacing() + 2 * MarkPadding;
        result.legendRect = QRectF(area.right() - width, area.center().y() - height / 2, width, height);
        area.setRight(result.legendRect.left() - Margin);
    }

    bool any = false;
    double markWidth = 0;
    for (const PieSliceShape& s : result.slices)
        if (s.drawn) {
            any = true;
            markWidth = std::max(markWidth, markMetrics.horizontalAdvance(s.markText));
        }
    if (!any || area.width() <= 0 || area.height() <= 0)
        return result;

    const double boxHeight = markMetrics.height() + 2 * MarkPadding;
    const double boxWidth = markWidth + 2 * MarkPadding;
    // Room for the marks around the pie, yet a long mark never shrinks the pie to nothing.
    const double reserveX = settings.marksVisible ? std::min(boxWidth + settings.markArrowLength + Margin, area.width() * 0.22) : 0;
    const double reserveY = settings.marksVisible ? std::min(boxHeight + settings.markArrowLength + Margin, area.height() * 0.2) : 0;
    const double tilt = settings.threeD ? std::max(0.25, std::abs(std::sin(radians(settings.elevation)))) : 1.0;
    // The side's height is its share of the chart's size, but always leaves a pie to see.
    result.depth = settings.threeD
        ? std::min(settings.depthPercent / 100.0 * std::min(rect.width(), rect.height()), (area.height() - 2 * reserveY) / 2)
        : 0;
    const double rx = std::max(4.0, std::min((area.width() - 2 * reserveX) / 2,
                                             (area.height() - 2 * reserveY - result.depth) / (2 * tilt)));
    const double ry = rx * tilt;
    const QPointF centre(area.center().x(), area.center().y() - result.depth / 2);
    result.pieRect = QRectF(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);

    if (!settings.marksVisible)
        return result;
    QVector<PieMark*> left, right;
    result.marks.reserve(result.slices.size());
    for (int i = 0; i < result.slices.size(); ++i) {
        const PieSliceShape& s = result.slices[i];
        if (!s.drawn)
            continue;
        const double mid = radians(s.startAngle + s.spanAngle / 2);
        const double dx = std::cos(mid), dy = -std::sin(mid);
        PieMark mark;
        mark.slice = i;
        mark.anchor = QPointF(centre.x() + rx * dx, centre.y() + ry * dy + (dy > 0 ? result.depth : 0));
        const double length = std::hypot(dx, dy * tilt);
        mark.arrowEnd = mark.anchor + QPointF(dx, dy * tilt) / length * settings.markArrowLength;
        const QSizeF size(markMetrics.horizontalAdvance(s.markText) + 2 * MarkPadding, boxHeight);
        const double x = dx >= 0 ? mark.arrowEnd.x() : mark.arrowEnd.x() - size.width();
        const double y = mark.arrowEnd.y() - size.height() / 2 + dy * size.height() / 2;
        mark.box = QRectF(QPointF(x, y), size);
        result.marks.append(mark);
    }
    for (PieMark& mark : result.marks)
        (mark.box.center().x() >= centre.x() ? right : left).append(&mark);
    spreadVertically(left);
    spreadVertically(right);
    keepAbove(left, rect.bottom());
    keepAbove(right, rect.bottom());
    for (PieMark& mark : result.marks) {
        if (mark.box.top() < rect.top())
            mark.box.moveTop(rect.top());
        if (mark.box.right() > rect.right())
            mark.box.moveRight(rect.right());
        if (mark.box.left() < rect.left())
            mark.box.moveLeft(rect.left());
    }
    return result;
}

} // namespace PieGeometry
