#pragma once

class TMainDataModule;
class TDataEntryForm;
class TRetail;
class TPickDateForm;
class TMainForm;

// The long-lived instances that windows reach by name: made at start-up, living to the end.
struct Forms
{
    TMainDataModule* MainDataModule = nullptr;
    TDataEntryForm* DataEntryForm = nullptr;
    TRetail* Retail = nullptr;
    TPickDateForm* PickDateForm = nullptr;
    TMainForm* MainForm = nullptr;
};
