#pragma once

#include <QString>

#include "toolkit/report/ReportPage.h"

class QPrinter;

// Sends laid-out pages to paper or to a PDF file through paintPage(), page by page.
// Both throw std::runtime_error with a text for the user when the output cannot be made.
// GUI thread only.

// Writes the file under a temporary name and renames it at the end, so a failure leaves no
// half-written file under path (nor changes one already there).
void exportPdf(const ReportPages& pages, const QString& path, const QString& title);

// Prints the pages numbered from..to (1-based, inclusive; 0, 0 for all) on a set-up printer.
void printPages(const ReportPages& pages, QPrinter& printer, int from = 0, int to = 0);
