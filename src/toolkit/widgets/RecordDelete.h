#pragma once

class Dataset;

// Deletes the current row of dataset once the delete question (its own deleteQuestion, else
// the toolkit's "Delete record?") is answered OK through the installed MessageService; the
// question is asked once the pending changes hanging on the row have ended.
// Returns whether it deleted; throws what the dataset throws. GUI thread only.
bool deleteWithQuestion(Dataset& dataset);
