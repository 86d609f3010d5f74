#pragma once

#include <memory>

#include <QDate>

#include "ui/main/RecordListWindow.h"

class PipelineModel;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class QTreeWidget;
namespace Pipeline { class Reader; }

// The pipeline: one row per subproject with where its sale stands and who decides, counts per
// status and size above it that filter when clicked, filters by type and a missing decision
// maker, sorting on any column, and the selected subproject's time in each status. The rows
// are read a range at a time on a timer, with progress and Cancel, so the window answers while
// it reads. Enter or a double-click goes to the subproject in a fresh main window; the rows
// shown print through the report preview and export to CSV. Made for
// one use; the constructor throws StoreError. GUI thread only.
class TPipelineForm : public RecordListWindow
{
    Q_OBJECT
public:
    // today: the day days are counted to.
    explicit TPipelineForm(Forms& forms, QWidget* parent = nullptr, const QDate& today = QDate::currentDate());
    ~TPipelineForm() override;

    // Reads every row at once, as the timer would a range at a time.
    void readAll();

    void ReadTimerTimer();
    void CancelButtonClick();
    void StatusButtonClick(qint64 statusId);
    void SizeButtonClick(qint64 sizeId);
    void TypeComboChange();
    void NoDecisionMakerClick();
    void DaysSpinChange();
    void PipelineGridRowChange();
    void PipelineGridDblClick();
    void ExportButtonClick();
    void PrintButtonClick();

    QWidget* StatusCounts;
    QWidget* SizeCounts;
    QComboBox* TypeCombo;
    QCheckBox* NoDecisionMaker;
    QSpinBox* DaysSpin;
    QTableView* PipelineGrid;
    PipelineModel* Model;
    QLabel* TimeLabel;
    QTreeWidget* TimeList;
    QProgressBar* ReadProgress;
    QPushButton* CancelButton;
    QPushButton* ExportButton;
    QPushButton* PrintButton;
    QLabel* ShownLabel;
    QTimer* ReadTimer;

private:
    void buildLayout();
    void startReading();
    void fillCounts();
    void applyFilter();
    void finishReading();

    std::unique_ptr<Pipeline::Reader> m_reader;
    // The connection's write count when the rows were read.
    quint64 m_readAt = 0;
    // The subproject last gone to.
    qint64 m_selectedId = 0;
};
