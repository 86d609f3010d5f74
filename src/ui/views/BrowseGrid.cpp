#include "ui/views/BrowseGrid.h"

#include <QKeyEvent>

#include "toolkit/widgets/DBGrid.h"

namespace {

// Enter on a row opens it, as a double-click would.
class EnterOpensRow : public QObject
{
public:
    explicit EnterOpensRow(DBGrid* grid) : QObject(grid), m_grid(grid) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_grid && event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                emit m_grid->doubleClick();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    DBGrid* m_grid;
};

} // namespace

namespace BrowseGrid {

void setUp(DBGrid* grid, DataSource* source, const QStringList& fields)
{
    QList<GridColumn> columns;
    for (const QString& field : fields)
        columns.append(GridColumn(field).withTitle(field));
    grid->setColumns(columns);
    grid->setReadOnly(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setTabKeyNavigation(false);
    grid->installEventFilter(new EnterOpensRow(grid));
    grid->setDataSource(source);
}

} // namespace BrowseGrid
