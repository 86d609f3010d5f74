#include "support/RecordingShellService.h"

bool RecordingShellService::open(const QString& target, const QString& parameters)
{
    m_calls.append({target, parameters});
    return m_result;
}
