#pragma once

class TMainDataModule;

// The jump search's keystrokes and the pipeline window's opening, on the open data module.
void runSearchBenches(TMainDataModule& dm, int rounds);
