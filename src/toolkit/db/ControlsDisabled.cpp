#include "toolkit/db/ControlsDisabled.h"

#include "toolkit/db/Dataset.h"

ControlsDisabled::ControlsDisabled(Dataset& dataset)
{
    for (Dataset* d : dataset.followers()) {
        d->disableControls();
        m_disabled.append(d);
    }
}

ControlsDisabled::~ControlsDisabled()
{
    for (auto it = m_disabled.rbegin(); it != m_disabled.rend(); ++it)
        if (*it)
            (*it)->enableControls();
}
