#pragma once

#include <QList>
#include <QObject>

class Dataset;
class QWidget;

// Keeps what a window shows up to date with the file when other windows wrote to it. When the
// window becomes active, or one of the parts given (pages) is shown, the datasets its visible
// data-aware controls show (grids, charts, navigators and field controls, with their masters
// and lookup sources) are read again where stale (StaleRows: none with a change pending). F5
// that no control takes reads again the dataset of the control with the focus, as the
// navigator's refresh does. A failed read is reported through the action guard once: the
// window does not retry it on activation until something was written again. Owned by the
// window. GUI thread only.
class WindowRereads : public QObject
{
    Q_OBJECT
public:
    explicit WindowRereads(QWidget* window, const QList<QWidget*>& parts = {});

    // The datasets the visible data-aware controls of part show, with their sources, in order.
    static QList<Dataset*> shownBy(const QWidget* part);
    // The dataset of the control with the focus (or of the one it lies in), or nullptr.
    static Dataset* focusDataset(const QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void comeForward(const QWidget* part);

    QWidget* m_window;
    QList<QWidget*> m_parts;
    bool m_failed = false;
    quint64 m_failedAt = 0;
};
