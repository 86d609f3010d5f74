#pragma once

#include <vector>

class Dataset;

// The question a window asks when it closes while datasets hold changed rows that are not
// saved: save them (Yes), drop them (No) or stay open (Cancel, or the box closed). Saving posts
// in the order given, masters first; dropping cancels in reverse order, details first, so a
// master's move never saves a detail the user chose to drop. Store errors are shown through
// the action guard, and then the window stays open with the failed change kept. Returns
// whether the window may close. GUI thread only.
bool mayCloseWith(const std::vector<Dataset*>& pending);

// Of datasets, those holding a changed row that is not saved, after their controls handed
// over what the user typed.
std::vector<Dataset*> changedRows(const std::vector<Dataset*>& datasets);
