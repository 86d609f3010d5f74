#include "toolkit/db/DatasetEvent.h"

#include <algorithm>

DatasetEvent::DatasetEvent()
    : m_handlers(std::make_shared<Handlers>())
{
}

DatasetEvent& DatasetEvent::operator=(Handler handler)
{
    m_handlers->owner = std::move(handler);
    return *this;
}

int DatasetEvent::subscribe(Handler handler)
{
    const int ticket = m_handlers->nextTicket++;
    m_handlers->subscribers.emplace_back(ticket, std::move(handler));
    return ticket;
}

void DatasetEvent::unsubscribe(int ticket)
{
    std::erase_if(m_handlers->subscribers, [ticket](const auto& s) { return s.first == ticket; });
}

void DatasetEvent::operator()(Dataset& dataset) const
{
    // Copies, so that a handler may subscribe, unsubscribe or replace handlers while it runs;
    // one unsubscribed meanwhile is not run.
    const std::shared_ptr<Handlers> handlers = m_handlers;
    if (Handler owner = handlers->owner)
        owner(dataset);
    std::vector<int> tickets;
    for (const auto& s : handlers->subscribers)
        tickets.push_back(s.first);
    for (int ticket : tickets) {
        const auto it = std::find_if(handlers->subscribers.begin(), handlers->subscribers.end(),
                                     [ticket](const auto& s) { return s.first == ticket; });
        if (it == handlers->subscribers.end())
            continue;
        Handler handler = it->second;
        handler(dataset);
    }
}

DatasetEvent::operator bool() const
{
    return m_handlers->owner || !m_handlers->subscribers.empty();
}

EventSubscription::EventSubscription(DatasetEvent& event, DatasetEvent::Handler handler)
    : m_handlers(event.m_handlers), m_ticket(event.subscribe(std::move(handler)))
{
}

EventSubscription::~EventSubscription()
{
    reset();
}

EventSubscription::EventSubscription(EventSubscription&& other) noexcept
    : m_handlers(std::move(other.m_handlers)), m_ticket(std::exchange(other.m_ticket, 0))
{
}

EventSubscription& EventSubscription::operator=(EventSubscription&& other) noexcept
{
    if (this != &other) {
        reset();
        m_handlers = std::move(other.m_handlers);
        m_ticket = std::exchange(other.m_ticket, 0);
    }
    return *this;
}

void EventSubscription::reset()
{
    if (auto handlers = m_handlers.lock())
        std::erase_if(handlers->subscribers, [this](const auto& s) { return s.first == m_ticket; });
    m_handlers.reset();
    m_ticket = 0;
}
