#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <QVector>

// One slice of a pie: a null (or non-numeric) value keeps its place but is not drawn.
struct PieSlice
{
    QVariant value;
    QString label;
};

// How a pie is drawn. A null title reserves no room; an empty but non-null one a blank line.
// An empty percentFormat shows marks with the label alone. Angles in degrees.
struct PieSettings
{
    bool threeD = true;
    int depthPercent = 15;
    int elevation = 315;
    int rotation = 360;
    int perspective = 0;
    QString percentFormat = QStringLiteral("##0.# %");
    bool marksVisible = true;
    QColor markArrowColor = Qt::black;
    Qt::PenStyle markArrowStyle = Qt::SolidLine;
    int markArrowLength = 8;
    QString title;
    QString foot;
    QFont titleFont;
    bool legend = false;
};

// A slice as it is drawn: angles counter-clockwise from three o'clock, in degrees.
struct PieSliceShape
{
    bool drawn = false;
    double value = 0;
    double percent = 0;
    double startAngle = 0;
    double spanAngle = 0;
    QColor color;
    QString markText;
};

struct PieMark
{
    int slice = 0;
    QPointF anchor;
    QPointF arrowEnd;
    QRectF box;
};

// Where everything goes inside the chart's rectangle. Pure: the same input, the same layout.
struct PieLayout
{
    QVector<PieSliceShape> slices;
    QRectF titleRect;
    QRectF footRect;
    QRectF legendRect;
    // The top face of the pie; empty when nothing is drawn.
    QRectF pieRect;
    // Height of the pie's side in 3D; 0 when flat.
    double depth = 0;
    QVector<PieMark> marks;
};

namespace PieGeometry {

// A number formatted by a picture such as "##0.# %": '0' a digit always shown, '#' one shown
// when needed, '.' the decimal point; every other character is kept as it is.
QString formatNumber(double value, const QString& pattern);

// The automatic palette, one colour a slice position.
QColor paletteColor(int index);

// Values, percentages (absolute value x 100 / sum of absolute values), angles, colours and
// mark texts. When no value counts (all zero or empty) nothing is drawn and no mark shows.
QVector<PieSliceShape> slices(const PieSettings& settings, const QVector<PieSlice>& input);

// The fonts the painter uses, sized in the painter's own units.
QFont markFont();
QFont titleFont(const PieSettings& settings);

// Lays the chart out in rect, measuring texts with the fonts above.
PieLayout layout(const QRectF& rect, const PieSettings& settings, const QVector<PieSlice>& input);

} // namespace PieGeometry
