#pragma once

#include <functional>

#include <QList>
#include <QStringList>

#include "toolkit/widgets/GridColumn.h"

class DBGrid;

// Makes grid a read-only list of whole rows for a browse window: the arrows move the row,
// Tab and Shift+Tab go on to the next control, and a double-click or Enter on a row runs open.
void makeBrowseGrid(DBGrid* grid, const std::function<void()>& open);

// Grid columns titled with their field names.
QList<GridColumn> titledColumns(const QStringList& fields);
