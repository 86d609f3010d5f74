#pragma once

#include <memory>
#include <optional>

#include "data/DataModule.h"
#include "support/AppDatabase.h"
#include "support/PickerProbe.h"
#include "support/RecordingFileDialogService.h"
#include "support/RecordingMessageService.h"
#include "support/RecordingPreviewService.h"
#include "support/RecordingShellService.h"
#include "support/TemporarySettings.h"
#include "toolkit/widgets/PageControl.h"
#include "ui/main/DataEntry.h"
#include "ui/main/Forms.h"

// What a window test starts from: a fresh AppDatabase (with its sample rows unless told
// otherwise), the data module open on it, the long-lived picker and, once made, main window,
// recording services for boxes, file dialogs, the shell and report previews, and settings of
// its own. The windows it holds go before the data module. GUI thread only.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(bool withRows = true)
    {
        if (withRows)
            file.addSampleRows();
        file.close();
        dm = std::make_unique<TMainDataModule>();
        dm->Connect(file.connectionString());
        dm->SetDataSetsActive(true);
        picker = std::make_unique<PickerProbe>();
        forms.MainDataModule = dm.get();
        forms.PickDateForm = picker.get();
    }

    ~MainWindowFixture()
    {
        m_mainWindow.reset();
        file.close();
        picker.reset();
        dm.reset();
    }

    // The long-lived main window, which the other windows reach through forms, on page if
    // given; Window is TDataEntryForm or a probe made from it.
    template<class Window = TDataEntryForm>
    Window& makeMainWindow(std::optional<TDataEntryForm::Page> page = std::nullopt)
    {
        auto window = std::make_unique<Window>(forms);
        Window& made = *window;
        m_mainWindow = std::move(window);
        forms.DataEntryForm = &made;
        if (page)
            made.MainDataEntry->setCurrentIndex(*page);
        return made;
    }

    QString connectionString() const { return file.connectionString(); }
    // Reads and writes behind the program's back, through a connection of the test's own.
    QVariant scalar(const QString& sql) { return file.scalar(sql); }
    void exec(const QString& sql) { file.exec(sql); }
    // Reads the shared datasets again, as the program does on opening a file.
    void reread()
    {
        dm->SetDataSetsActive(false);
        dm->SetDataSetsActive(true);
    }

    TemporarySettings settings;
    AppDatabase file;
    RecordingMessageService messages;
    RecordingShellService shell;
    RecordingFileDialogService files;
    RecordingPreviewService previews;
    std::unique_ptr<TMainDataModule> dm;
    std::unique_ptr<PickerProbe> picker;
    Forms forms;

private:
    std::unique_ptr<TDataEntryForm> m_mainWindow;
};
