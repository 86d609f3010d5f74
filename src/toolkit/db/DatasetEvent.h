#pragma once

#include <functional>

class Dataset;

// One event of a dataset, with one handler: the dataset's owner's (the data module's), set by
// assignment. Raising it runs a copy of the handler, so that the handler may replace itself
// while it runs; a throw reaches the raiser. GUI thread only.
class DatasetEvent
{
public:
    using Handler = std::function<void(Dataset&)>;

    DatasetEvent() = default;
    DatasetEvent(const DatasetEvent&) = delete;
    DatasetEvent& operator=(const DatasetEvent&) = delete;

    DatasetEvent& operator=(Handler handler)
    {
        m_handler = std::move(handler);
        return *this;
    }
    void operator()(Dataset& dataset) const
    {
        if (Handler handler = m_handler)
            handler(dataset);
    }
    explicit operator bool() const { return bool(m_handler); }

private:
    Handler m_handler;
};
