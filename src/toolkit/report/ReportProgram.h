#pragma once

#include <QString>

// What the program tells the report toolkit about itself, once at start-up: the name an exported
// PDF gives as its creator and the start of the names of a report's temporary files.
struct ReportProgram
{
    QString creator;
    QString filePrefix = QStringLiteral("report");
};

void setReportProgram(const ReportProgram& program);
const ReportProgram& reportProgram();
