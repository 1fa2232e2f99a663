#include "app/core/analytics/EventQueue.h"

#include "app/core/analytics/NSString+URLArgumentsAdditions.h"
#include "foundation/Clock.h"

#include <cmath>

VX_REGISTER_CLASS(EventQueue);

void EventQueue::record(const std::string& key, const Value* segmentation, int32_t count, const double* sum)
{
    std::lock_guard guard(m_lock);
    double now = std::floor(Clock::wallTime());
    for (const auto& event : m_events) {
        if (event->key() != key)
            continue;
        if (segmentation && (!event->segmentation().isDictionary() || !event->segmentation().isEqual(*segmentation)))
            continue;
        event->setCount(event->count() + count);
        if (sum)
            event->setSum(event->sum() + *sum);
        event->setTimestamp((event->timestamp() + now) / 2);
        return;
    }
    auto event = TallyEvent::init();
    event->setKey(key);
    if (segmentation)
        event->setSegmentation(*segmentation);
    event->setCount(count);
    event->setSum(sum ? *sum : 0);
    event->setTimestamp(now);
    m_events.push_back(event);
}

void EventQueue::recordEventCount(const std::string& key, int32_t count)
{
    record(key, nullptr, count, nullptr);
}

void EventQueue::recordEventCountSum(const std::string& key, int32_t count, double sum)
{
    record(key, nullptr, count, &sum);
}

void EventQueue::recordEventSegmentationCount(const std::string& key, const Value& segmentation, int32_t count)
{
    record(key, &segmentation, count, nullptr);
}

void EventQueue::recordEventSegmentationCountSum(
    const std::string& key, const Value& segmentation, int32_t count, double sum)
{
    record(key, &segmentation, count, &sum);
}

size_t EventQueue::count() const
{
    std::lock_guard guard(m_lock);
    return m_events.size();
}

std::string EventQueue::events()
{
    std::lock_guard guard(m_lock);
    std::string text = "[";
    for (size_t i = 0; i < m_events.size(); ++i) {
        if (i)
            text += ",";
        text += m_events[i]->JSONText();
    }
    text += "]";
    m_events.clear();
    return NSString_URLArgumentsAdditions::gtm_stringByEscapingForURLArgument(text);
}

std::vector<Ref<TallyEvent>> EventQueue::queuedEvents() const
{
    std::lock_guard guard(m_lock);
    std::vector<Ref<TallyEvent>> copies;
    for (const auto& event : m_events) {
        auto copy = TallyEvent::init();
        copy->setKey(event->key());
        copy->setSegmentation(event->segmentation());
        copy->setCount(event->count());
        copy->setSum(event->sum());
        copy->setTimestamp(event->timestamp());
        copies.push_back(copy);
    }
    return copies;
}
