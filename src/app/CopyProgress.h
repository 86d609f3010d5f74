#pragma once

#include <functional>

#include <QString>

class QWidget;

// Runs a long copy one step at a time under a progress box with Cancel ("CopyProgress"),
// letting the windows paint between steps. step answers true when the copy is complete and
// throws what the copy throws; percent tells how far it is. Returns false when the user
// pressed Cancel first. GUI thread only.
bool runWithProgress(QWidget* parent, const QString& title, const QString& label, const std::function<bool()>& step,
                     const std::function<int()>& percent);

// done of count as a percentage; 0 while the count is not known.
inline int percentOf(int done, int count)
{
    return count > 0 ? int(qint64(done) * 100 / count) : 0;
}

// Pages a copy takes in one step: about a megabyte, short enough for the windows to answer.
constexpr int CopyStepPages = 1024;
