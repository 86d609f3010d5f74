#pragma once

#include <QList>

#include "toolkit/dialogs/ShellService.h"

// A shell service for tests: installs itself while it lives (putting back the service before
// it when destroyed), records each open() and returns the scripted result (true unless set).
// Starts nothing. GUI thread only.
class RecordingShellService : public ShellService
{
public:
    struct Call
    {
        QString target;
        QString parameters;
        bool operator==(const Call&) const = default;
    };

    void setResult(bool result) { m_result = result; }
    const QList<Call>& calls() const { return m_calls; }

    bool open(const QString& target, const QString& parameters = {}) override;

private:
    QList<Call> m_calls;
    bool m_result = true;
    Scope m_installed{this};
};
