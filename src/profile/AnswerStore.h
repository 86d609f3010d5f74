#pragma once

#include <QtGlobal>

class Connection;

// Gives a person the answer rows of every question of the questionnaire, Answer -1 for each
// one missing, so a person holds either no rows or one row per question. The check and the
// inserts run in one write transaction: an error leaves the person's rows as they were, and
// a second program on the same file, serialised by the write lock, finds the rows and adds
// none. Returns the number of rows added. Throws StoreError. GUI thread only.
int addMissingAnswerRows(Connection& connection, qint64 personId);
