#include "app/CopyProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

bool runWithProgress(QWidget* parent, const QString& title, const QString& label, const std::function<bool()>& step,
                     const std::function<int()>& percent)
{
    QProgressDialog progress(label, QStringLiteral("Cancel"), 0, 100, parent);
    progress.setObjectName(QStringLiteral("CopyProgress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::ApplicationModal);
    // A small file is done before the box would only flash.
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    for (;;) {
        // The box shows itself only when a value changes; the windows paint and Cancel is
        // heard at every step.
        QCoreApplication::processEvents();
        if (progress.wasCanceled())
            return false;
        if (step())
            return true;
        progress.setValue(percent());
    }
}
