#pragma once

#include <functional>
#include <memory>

#include <QDialog>
#include <QElapsedTimer>

#include "toolkit/report/ReportLayout.h"
#include "toolkit/report/ReportPages.h"

class PageView;
class QAction;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolBar;

// The engine's preview window, shown modally: exec() returns when the user closes it. Once
// shown it runs the producer, which lays out pages into the preview: the first page shows as
// soon as it is made and the rest follow between events, with a progress display and Cancel.
// Paging, zoom, text search, printing through the system's print dialog and export to PDF
// through the message service's file-save dialog. An error while producing shows the error
// box and closes the preview; print and export failures show a message and the preview stays.
// GUI thread only.
class ReportPreview : public QDialog, private PageSink
{
    Q_OBJECT
public:
    using Producer = std::function<void(PageSink&)>;

    ReportPreview(const QString& caption, Producer producer, QWidget* parent = nullptr);
    ~ReportPreview() override;

    // Runs the producer to its end (or a cancel, or an error); the first show calls it.
    void produce();
    bool producing() const { return m_state == State::Producing; }
    // Every page is made (not cancelled, no error).
    bool complete() const { return m_state == State::Complete; }
    bool cancelled() const { return m_state == State::Cancelled; }
    void cancelProduction();

    const ReportPages& pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }
    // 1-based; 0 while no page is made.
    int currentPage() const { return m_current; }
    // Shows page number when it is made; a page not made yet is not shown.
    void showPage(int number);
    void firstPage() { showPage(1); }
    void previousPage() { showPage(m_current - 1); }
    void nextPage() { showPage(m_current + 1); }
    void lastPage() { showPage(pageCount()); }

    enum class ZoomMode { WholePage, PageWidth, Factor };
    void setZoomMode(ZoomMode mode, qreal factor = 1);
    void zoomIn();
    void zoomOut();
    ZoomMode zoomMode() const { return m_zoomMode; }
    qreal zoom() const;

    // Finds text on the pages from the last hit on, wrapping round; false when it is nowhere.
    bool findText(const QString& text, bool forward = true);
    void findNext() { findText(m_findText, true); }
    void findPrevious() { findText(m_findText, false); }

    void printReport();
    void exportPdfFile();

    void reject() override;

    QToolBar* ToolBar;
    QAction* FirstAction;
    QAction* PriorAction;
    QAction* NextAction;
    QAction* LastAction;
    QAction* WholePageAction;
    QAction* PageWidthAction;
    QAction* ActualSizeAction;
    QAction* ZoomInAction;
    QAction* ZoomOutAction;
    QAction* PrintAction;
    QAction* ExportPdfAction;
    QAction* FindAction;
    QAction* FindNextAction;
    QAction* FindPreviousAction;
    QAction* CloseAction;
    QSpinBox* PageBox;
    QLabel* PageCountLabel;
    QLabel* ZoomLabel;
    QLineEdit* FindEdit;
    QScrollArea* Scroll;
    PageView* View;
    QLabel* StatusLabel;
    QProgressBar* Progress;
    QPushButton* CancelButton;

protected:
    // The system print dialog over printer; tests replace it. true: print.
    virtual bool askPrinter(QPrinter& printer);

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class State { Waiting, Producing, Complete, Cancelled, Failed };

    void addPage(ReportPage page) override;
    bool keepGoing() override;

    void buildToolBar();
    QAction* makeAction(const QString& text, const QKeySequence& key, void (ReportPreview::*slot)());
    void applyZoom();
    void updateControls();
    QPrinter& printer();

    QString m_caption;
    Producer m_producer;
    State m_state = State::Waiting;
    bool m_cancelRequested = false;
    bool m_closeRequested = false;
    QElapsedTimer m_sinceEvents;
    ReportPages m_pages;
    ReportPage m_shown;  // the page the view draws, read back from m_pages
    int m_current = 0;
    ZoomMode m_zoomMode = ZoomMode::PageWidth;
    qreal m_factor = 1;
    QString m_findText;
    int m_hitPage = -1;
    int m_hitItem = -1;
    std::unique_ptr<QPrinter> m_printer;
};
