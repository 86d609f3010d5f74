#pragma once

#include <QList>
#include <QPointer>

class Dataset;

// Keeps the controls of a dataset, of its details (down the chain) and of the datasets that
// look up in any of them from following each move while a walk runs over the dataset; they
// are told to show the rows again when it ends, also on a throw. GUI thread only.
class ControlsDisabled
{
public:
    explicit ControlsDisabled(Dataset& dataset);
    ~ControlsDisabled();
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

private:
    QList<QPointer<Dataset>> m_disabled;
};
