#pragma once

#include <array>

#include <QStringList>

// Tactic advice for one person, as the profile window's Tactics tab shows it.
// answers[k - 1] is the stored answer to question k: -1 not answered,
// 1 the second choice, any other value the first choice. The result is either
// a single message asking for the missing answers or the advice lines, in
// order and without repeats. Pure and deterministic; never throws.
QStringList TacticLines(const std::array<int, 24>& answers);
