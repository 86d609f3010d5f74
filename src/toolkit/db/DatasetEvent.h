#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class Dataset;

// One event of a dataset. The owner of the dataset (the data module) sets its handler by
// assignment, which replaces only that one; any other party subscribes and gets a ticket,
// so nobody overwrites another's reaction. Raising it runs the owner's handler first, then
// the subscribers in subscription order; a throw stops the rest and reaches the raiser.
// GUI thread only.
class DatasetEvent
{
public:
    using Handler = std::function<void(Dataset&)>;

    DatasetEvent();
    DatasetEvent(const DatasetEvent&) = delete;
    DatasetEvent& operator=(const DatasetEvent&) = delete;

    DatasetEvent& operator=(Handler handler);
    int subscribe(Handler handler);
    void unsubscribe(int ticket);
    void operator()(Dataset& dataset) const;
    explicit operator bool() const;

private:
    friend class EventSubscription;
    struct Handlers
    {
        Handler owner;
        std::vector<std::pair<int, Handler>> subscribers;
        int nextTicket = 1;
    };
    // Shared so that a subscription outliving the dataset finds nothing to unsubscribe from.
    std::shared_ptr<Handlers> m_handlers;
};

// A subscription for a party that lives shorter than the dataset (a window, a report walk):
// unsubscribes in its destructor, and does nothing if the dataset went first. Move-only.
class EventSubscription
{
public:
    EventSubscription() = default;
    EventSubscription(DatasetEvent& event, DatasetEvent::Handler handler);
    ~EventSubscription();
    EventSubscription(EventSubscription&& other) noexcept;
    EventSubscription& operator=(EventSubscription&& other) noexcept;
    EventSubscription(const EventSubscription&) = delete;
    EventSubscription& operator=(const EventSubscription&) = delete;

    void reset();

private:
    std::weak_ptr<DatasetEvent::Handlers> m_handlers;
    int m_ticket = 0;
};
