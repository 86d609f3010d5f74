#pragma once

#include <QFrame>

#include "data/SearchIndex.h"
#include "ui/main/Forms.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTimer;

// The jump search: a box over the main window where each key typed lists the companies,
// projects, subprojects and people whose texts hold what was typed, grouped by kind. Up and
// Down choose, Enter goes there (the shared datasets stand on the record and its masters, and
// jumped names the kind so the window brings its page forward), Esc closes and changes
// nothing. While the texts are read anew a slice at a time it says "Indexing…" and searches
// what it has. Lives as long as its window. GUI thread only.
class TJumpSearch : public QFrame
{
    Q_OBJECT
public:
    TJumpSearch(Forms& forms, QWidget* parent);

    // Shows the box empty over the parent, with the focus in SearchEdit.
    void open();

    void SearchEditChange();
    void ResultListActivate();
    void IndexTimerTimer();

    QLineEdit* SearchEdit;
    QLabel* StateLabel;
    QListWidget* ResultList;
    QTimer* IndexTimer;

    // Rows of each kind listed at most.
    static constexpr int Limit = 8;

signals:
    void jumped(SearchIndex::Kind kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showResult(const SearchIndex::Result& result);
    void moveChoice(int step);
    void finish();

    Forms& m_forms;
    QWidget* m_returnFocus = nullptr;
};
