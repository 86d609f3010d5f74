#pragma once

#include "toolkit/dialogs/FileDialogService.h"

// The file dialogs as Qt shows them, over the active window. GUI thread only.
class QtFileDialogService : public FileDialogService
{
public:
    QString saveFileName(const SaveRequest& request) override;
};
