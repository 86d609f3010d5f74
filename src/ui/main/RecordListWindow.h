#pragma once

#include <functional>
#include <memory>

#include <QDate>
#include <QDialog>

#include "data/SearchIndex.h"
#include "ui/main/Forms.h"

class QAbstractItemModel;
class QTableView;
class TDataEntryForm;

// A window of rows about records (the due list, the pipeline) whose grid takes the user to a
// row's record in a fresh main window, by Enter or a double-click. Made for one use. GUI
// thread only.
class RecordListWindow : public QDialog
{
    Q_OBJECT
protected:
    // name: the window's object name; today: the day the rows count days to.
    RecordListWindow(Forms& forms, QWidget* parent, Qt::WindowFlags flags, const char* name, const QString& title,
                     const QDate& today);

    // A read-only grid of model's rows, chosen whole, that Tab leaves; Enter or a double-click
    // on a row runs open.
    QTableView* recordGrid(const QString& name, QAbstractItemModel* model, const std::function<void()>& open);
    // Moves the shared datasets to the record, then shows a fresh main window on page, modally.
    // False, with nothing shown, when the file no longer holds the record. Throws StoreError.
    bool showRecord(SearchIndex::Kind kind, qint64 id, int page);
    // The main window made for one Enter; tests replace it.
    virtual std::unique_ptr<TDataEntryForm> newDataEntryForm();
    bool eventFilter(QObject* watched, QEvent* event) override;

    Forms& m_forms;
    const QDate m_today;

private:
    QTableView* m_grid = nullptr;
    std::function<void()> m_open;
};
