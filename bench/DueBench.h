#pragma once

class QString;

// The due list on a copy of the file at path with 100,000 follow-ups added, a quarter of them
// done and the rest due from two years back to one year ahead: from the window's making to
// its first rows shown.
void runDueBench(const QString& path, int rounds);
