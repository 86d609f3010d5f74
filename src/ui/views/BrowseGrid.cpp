#include "ui/views/BrowseGrid.h"

#include <utility>

#include <QKeyEvent>

#include "toolkit/widgets/DBGrid.h"
#include "toolkit/widgets/EditKeys.h"

namespace {

// Enter opens the row, whatever modifier is held with it.
class EnterOpens : public QObject
{
public:
    EnterOpens(std::function<void()> open, QObject* parent) : QObject(parent), m_open(std::move(open)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const QChar key = EditKeys::keyCharacter(static_cast<QKeyEvent*>(event));
        if (key != QLatin1Char('\r') && key != QLatin1Char('\n'))
            return false;
        m_open();
        return true;
    }

private:
    std::function<void()> m_open;
};

}

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
    grid->installKeyFilter(new EnterOpens(open, grid));
}

QList<GridColumn> titledColumns(const QStringList& fields)
{
    QList<GridColumn> columns;
    for (const QString& field : fields)
        columns.append(GridColumn(field).withTitle(field));
    return columns;
}
