#include "support/RecordingShellService.h"

RecordingShellService::RecordingShellService()
    : m_before(ShellService::install(this))
{
}

RecordingShellService::~RecordingShellService()
{
    ShellService::install(m_before);
}

bool RecordingShellService::open(const QString& target, const QString& parameters)
{
    m_calls.append({target, parameters});
    return m_result;
}
