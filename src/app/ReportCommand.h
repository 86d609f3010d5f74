#pragma once

#include "app/CommandLine.h"
#include "app/Places.h"

// Writes the report the command line asks for from places' database, with no window: the
// database gets the start-up's checks and messages, printed on standard error instead of
// shown. Returns the program's exit code: 0, or 1 after a message, leaving no file behind.
int writeReportCommand(const Places& places, const ReportRequest& request);
