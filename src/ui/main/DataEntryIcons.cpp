#include "ui/main/DataEntry.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int IconSize = 16;

QIcon drawn(const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p);
    return QIcon(pixmap);
}

const QColor Outline(60, 60, 70);

} // namespace

// Companies, projects, subprojects, contribution, clients, help.
QList<QIcon> TDataEntryForm::ImageList1()
{
    const QIcon building = drawn([](QPainter& p) {
        p.setPen(Outline);
        p.setBrush(QColor(176, 190, 210));
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 80, 150));
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 2; ++col)
                p.drawRect(QRectF(5 + col * 4, 3 + row * 3, 2, 2));
    });
    const QIcon folder = drawn([](QPainter& p) {
        p.setPen(Outline);
        p.setBrush(QColor(240, 200, 80));
        QPainterPath path;
        path.moveTo(1.5, 3.5);
        path.lineTo(6.5, 3.5);
        path.lineTo(8, 5.5);
        path.lineTo(14.5, 5.5);
        path.lineTo(14.5, 13.5);
        path.lineTo(1.5, 13.5);
        path.closeSubpath();
        p.drawPath(path);
    });
    const QIcon document = drawn([](QPainter& p) {
        p.setPen(Outline);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setPen(QColor(40, 110, 190));
        for (int line = 0; line < 4; ++line)
            p.drawLine(QPointF(5.5, 4.5 + line * 2.5), QPointF(10.5, 4.5 + line * 2.5));
    });
    const QIcon pie = drawn([](QPainter& p) {
        const QRectF disc(1.5, 1.5, 13, 13);
        p.setPen(Outline);
        p.setBrush(QColor(90, 160, 90));
        p.drawEllipse(disc);
        p.setBrush(QColor(220, 90, 70));
        p.drawPie(disc, 90 * 16, 120 * 16);
    });
    const QIcon person = drawn([](QPainter& p) {
        p.setPen(Outline);
        p.setBrush(QColor(90, 130, 200));
        p.drawChord(QRectF(2.5, 9.5, 11, 10), 0, 180 * 16);
        p.setBrush(QColor(240, 205, 170));
        p.drawEllipse(QRectF(5, 2, 6, 6));
    });
    const QIcon help = drawn([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 100, 190));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        QFont font = p.font();
        font.setBold(true);
        font.setPixelSize(11);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("?"));
    });
    return {building, folder, document, pie, person, help};
}
