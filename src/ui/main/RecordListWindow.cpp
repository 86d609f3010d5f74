#include "ui/main/RecordListWindow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

#include "data/RecordJump.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"

RecordListWindow::RecordListWindow(Forms& forms, QWidget* parent, Qt::WindowFlags flags, const char* name,
                                   const QString& title, const QDate& today)
    : QDialog(parent, flags)
    , m_forms(forms)
    , m_today(today)
{
    setObjectName(QLatin1String(name));
    setWindowTitle(title);
}

QTableView* RecordListWindow::recordGrid(const QString& name, QAbstractItemModel* model, const std::function<void()>& open)
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(name);
    m_grid->setModel(model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control.
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->hide();
    m_open = open;
    m_grid->installEventFilter(this);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, open);
    return m_grid;
}

bool RecordListWindow::showRecord(SearchIndex::Kind kind, qint64 id, int page)
{
    if (!jumpToRecord(*m_forms.MainDataModule, kind, id))
        return false;
    const std::unique_ptr<TDataEntryForm> window = newDataEntryForm();
    window->MainDataEntry->setCurrentIndex(page);
    window->ShowModal();
    return true;
}

std::unique_ptr<TDataEntryForm> RecordListWindow::newDataEntryForm()
{
    return std::make_unique<TDataEntryForm>(m_forms);
}

bool RecordListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_open();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
