#pragma once

#include <QPainter>
#include <QRectF>

#include "toolkit/chart/PieGeometry.h"

// Draws a pie with its marks, title, foot text and legend into rect, on any painter (a widget,
// a printer, a PDF writer, an image). The back is left as it is (transparent); there is no
// frame, no axes and no walls. Texts are sized in the painter's units, so a scaled painter
// scales the whole chart. Restores the painter's state. GUI thread only.
void paintPie(QPainter& painter, const QRectF& rect, const PieSettings& settings, const QVector<PieSlice>& slices);
