#include "toolkit/dialogs/FileDialogService.h"

#include <QApplication>
#include <QFileDialog>

namespace {

class QtFileDialogService : public FileDialogService
{
public:
    QString openFileName(const QString& caption, const QString& filter, const QString& directory) override
    {
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, directory, filter);
    }
};

FileDialogService* installed = nullptr;

} // namespace

FileDialogService& FileDialogService::current()
{
    if (installed)
        return *installed;
    static QtFileDialogService standard;
    return standard;
}

FileDialogService* FileDialogService::install(FileDialogService* service)
{
    FileDialogService* before = installed;
    installed = service;
    return before;
}
