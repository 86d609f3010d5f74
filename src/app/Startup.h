#pragma once

#include <functional>
#include <memory>

#include <QString>

#include "ui/main/Forms.h"

// "Provider=...;Data Source=<folder>/Vornadel.mdb;...": the database file beside the program.
QString ConnectionString(const QString& programFolder);

// The running program's long-lived windows and data module. Made by the start-up steps
// from the main window to the last long-lived window; the constructor throws what a step
// threw (StoreError for the database), leaving nothing behind. GUI thread only.
class Program
{
public:
    explicit Program(const QString& programFolder);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Forms forms;

private:
    struct Windows;
    std::unique_ptr<Windows> m_windows;
};

// Makes the program from programFolder and hands it to run, whose result it returns. When a
// start-up step fails, the error's text is shown in an error box and the result is 1.
int startProgram(const QString& programFolder, const std::function<int(Program&)>& run);
