#pragma once

class Dataset;

// Asks the delete question for dataset (its own deleteQuestion, else the toolkit's
// "Delete record?") through the installed MessageService and deletes the current row on OK.
// Returns whether it deleted; throws what the dataset throws. GUI thread only.
bool deleteWithQuestion(Dataset& dataset);
