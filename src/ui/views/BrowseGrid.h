#pragma once

#include <QStringList>

class DataSource;
class DBGrid;

namespace BrowseGrid {

// Makes grid a read-only list over source that selects whole rows, one column per field
// named, titled with the field's name. Tab and Shift+Tab leave it; Enter on a row does what a double-click
// does (raises the grid's doubleClick).
void setUp(DBGrid* grid, DataSource* source, const QStringList& fields);

} // namespace BrowseGrid
