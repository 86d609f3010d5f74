#include "ui/views/BrowseGrid.h"

#include "toolkit/widgets/DBGrid.h"

void makeBrowseGrid(DBGrid* grid, const std::function<void()>& open)
{
    grid->setReadOnly(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setTabKeyNavigation(false);
    // The grid makes cells current by program too; the whole row shows as chosen either way.
    auto selectRow = [grid](const QModelIndex& current) {
        if (current.isValid())
            grid->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    };
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, grid, selectRow);
    selectRow(grid->currentIndex());
    QObject::connect(grid, &DBGrid::doubleClick, grid, open);
    QObject::connect(grid, &DBGrid::keyPress, grid, [open](QChar key, bool& handled) {
        if (key == QLatin1Char('\r') || key == QLatin1Char('\n')) {
            handled = true;
            open();
        }
    });
}

QList<GridColumn> titledColumns(const QStringList& fields)
{
    QList<GridColumn> columns;
    for (const QString& field : fields)
        columns.append(GridColumn(field).withTitle(field));
    return columns;
}
