#pragma once

#include <QAbstractItemModel>
#include <QApplication>
#include <QStringList>
#include <QTest>

#include "toolkit/chart/DBChart.h"
#include "toolkit/widgets/DBGrid.h"

namespace ViewTest {

// The marks the chart shows, slice by slice.
inline QStringList marks(const DBChart* chart)
{
    QStringList texts;
    for (const PieSliceShape& s : PieGeometry::slices(chart->settings(), chart->slices()))
        if (s.drawn)
            texts.append(s.markText);
    return texts;
}

inline QStringList titles(const DBGrid* grid)
{
    QStringList texts;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        texts.append(grid->model()->headerData(c, Qt::Horizontal).toString());
    return texts;
}

inline void doubleClickRow(DBGrid* grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    // As a mouse sends it: a click, then the second press as a double-click.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// The names of the controls Tab reaches from first, in order, count steps.
inline QStringList tabWalk(QWidget* first, int count, bool back = false)
{
    first->setFocus(Qt::TabFocusReason);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), back ? Qt::Key_Backtab : Qt::Key_Tab);
        names.append(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
    }
    return names;
}

} // namespace ViewTest
