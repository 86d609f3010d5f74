#pragma once

#include <functional>

#include <QString>

#include "toolkit/report/ReportPages.h"

class QPrinter;

// Sends laid-out pages to paper or to a PDF file through paintPage(), page by page.
// Both throw std::runtime_error with a text for the user when the output cannot be made.
// GUI thread only.

// Writes the file under a temporary name and renames it at the end, so a failure leaves no
// half-written file under path (nor changes one already there).
// progress, when given, hears after each page how many of how many are written and answers
// whether to go on; a stop leaves no file (and one already under path as it was). Returns
// false when stopped.
using ExportProgress = std::function<bool(int written, int total)>;
bool exportPdf(const ReportPages& pages, const QString& path, const QString& title, const ExportProgress& progress = {});

// Prints the pages numbered from..to (1-based, inclusive; 0, 0 for all) on a set-up printer.
void printPages(const ReportPages& pages, QPrinter& printer, int from = 0, int to = 0);
