#pragma once

#include <functional>

// The boundary of a user action. Runs action; a StoreError, a FieldError or any other
// std::exception is caught and its text shown in the error box of the installed
// MessageService (typed dialog, error, OK); AbortAction is swallowed silently, since the
// rule that threw it has already told the user. The program goes on either way, and what
// the action left pending (a dataset's edit) stays as it was. Returns true when the action
// ran to its end. Every control handler that reaches the store runs under it, because an
// exception must not cross Qt's event loop. GUI thread only.
bool guarded(const std::function<void()>& action);
