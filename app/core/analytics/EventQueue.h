#pragma once

#include "app/core/analytics/TallyEvent.h"

#include <mutex>
#include <vector>

// The analytics events not yet handed to the request queue, aggregated by name (and segments):
// a repeated event adds to the queued one instead of queueing another. Any thread: every
// operation holds the queue's lock for its whole run.
class EventQueue : public NSObject {
    VX_OBJECT(EventQueue, NSObject)
public:
    explicit EventQueue(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<EventQueue> init() { return make<EventQueue>(); }

    // Without segments an event merges into the first queued one of the same name, whatever its
    // segments; with segments only into one with equal segments.
    void recordEventCount(const std::string& key, int32_t count);
    void recordEventCountSum(const std::string& key, int32_t count, double sum);
    void recordEventSegmentationCount(const std::string& key, const Value& segmentation, int32_t count);
    void recordEventSegmentationCountSum(const std::string& key, const Value& segmentation, int32_t count, double sum);

    size_t count() const;
    // The JSON array of the queued events, escaped for a URL argument; empties the queue.
    std::string events();
    // The queued events (copies), oldest first.
    std::vector<Ref<TallyEvent>> queuedEvents() const;

private:
    void record(const std::string& key, const Value* segmentation, int32_t count, const double* sum);

    mutable std::mutex m_lock;
    std::vector<Ref<TallyEvent>> m_events;
};
