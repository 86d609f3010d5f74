#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

class ReportForm;
class TMainDataModule;

// The reports that can be written to a file without a window, by the names a command line
// gives them: the two lists, the whole hierarchy, and the three in one.
QStringList reportNames();

// The report windows a name stands for, in printing order ("all": the two lists, then the
// whole hierarchy); none for an unknown name.
std::vector<std::unique_ptr<ReportForm>> namedReports(TMainDataModule& dataModule, const QString& name);

// Writes the report named to a PDF file at path, as the preview's Export PDF would. Throws
// std::invalid_argument for an unknown name, StoreError for the store, std::runtime_error for
// the file; a failure leaves no file at path (and one already there as it was). GUI thread only.
void writeReportPdf(TMainDataModule& dataModule, const QString& name, const QString& path);
