#pragma once

#include <QRectF>

#include "toolkit/report/ReportPage.h"

class QPainter;

// The one routine that draws a laid-out page, for the preview, a printer and a PDF writer
// alike: the page's points are scaled to fill target (device coordinates). Fonts keep their
// sizes relative to the page on any device resolution. Leaves the painter's state as it
// found it. GUI thread only.
void paintPage(QPainter& painter, const ReportPage& page, const QRectF& target);
