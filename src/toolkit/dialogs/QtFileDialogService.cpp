#include "toolkit/dialogs/QtFileDialogService.h"

#include <QApplication>
#include <QFileDialog>

QString QtFileDialogService::saveFileName(const SaveRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.caption, request.directory, qtFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    dialog.setDefaultSuffix(request.defaultExtension);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

QString QtFileDialogService::openFileName(const QString& caption, const QString& filter, const QString& directory)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, directory, qtFilter(filter));
}
