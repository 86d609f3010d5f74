#pragma once

#include <QString>
#include <QStringList>

// The program's options, known in this one place: --database FILE, --connect URI, --report NAME --pdf FILE,
// --help and --version. arguments are the program's, its name first.

// The text to print for --help or --version when arguments ask for either, else an empty
// text. It runs before the toolkit has taken out its own options (-platform, -style), so it
// passes over what it does not know; neither answer needs a display.
QString informationAsked(const QStringList& arguments);

// The file named by --database, made absolute, or an empty text when none is named. Throws
// std::invalid_argument saying what is wrong: an unknown option, a missing file name, a stray
// argument.
QString chosenDatabase(const QStringList& arguments);

// The server URI named by --connect, or an empty text when none is named. Throws
// std::invalid_argument for a text that is not a postgresql:// URI, or one given with --database
// as well.
QString chosenServer(const QStringList& arguments);

// A report to write to a PDF file without a window: --report NAME --pdf FILE.
struct ReportRequest
{
    QString report;  // empty: none asked
    QString pdf;     // absolute
};

// The report that arguments ask for, or an empty one. Like informationAsked it passes over
// what it does not know. Throws std::invalid_argument for an unknown report, a report without
// --pdf FILE, or --pdf without a report.
ReportRequest reportAsked(const QStringList& arguments);
