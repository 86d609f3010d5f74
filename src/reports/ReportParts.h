#pragma once

#include <QColor>
#include <QList>
#include <QString>

#include "data/Catalogue.h"
#include "toolkit/chart/PieGeometry.h"
#include "toolkit/report/ReportDefinition.h"

// Colours, fonts and pieces the six reports share.
namespace ReportParts {

inline const QColor Silver{192, 192, 192};
inline const QColor Navy{0, 0, 128};
inline const QColor Green{0, 128, 0};
inline const QColor SkyBlue{166, 202, 240};
inline const QColor Cream{255, 251, 240};

TextStyle arial(qreal size, bool bold = false, const QColor& color = Qt::black);
TextStyle times(qreal size, bool bold = false, const QColor& color = Qt::black);

ReportBand band(qreal height, const QColor& color = Qt::white, const BandFrame& frame = {});

// A text centred on a point of the band (mm from its left).
ReportElement centred(const QString& text, qreal centre, qreal top);

// A pie over every row of the cursor named source, read when its band prints: one slice per
// row, value valueField, label labelField; marks show the label alone.
ReportElement pie(const QString& name, const QRectF& box, const QString& source, const QString& labelField,
                  const QString& valueField, bool legend = false, const QString& title = {});

// The buying roles as the reports print them from left to right: by caption.
QList<Catalogue::BuyingRole> rolesByCaption();

// A contribution band's pieces: a bold caption on white, a value of the cursor named source
// on silver, and the buying roles' captions and values in rolesByCaption() order.
void addCaption(ReportBand& band, const QString& text, qreal left, qreal top);
void addValue(ReportBand& band, const QString& source, const QString& field, qreal left, qreal top);
void addRoles(ReportBand& band, const QString& source, const qreal (&captionLefts)[5], qreal captionTop,
              const qreal (&valueLefts)[5], qreal valueTop);

} // namespace ReportParts
