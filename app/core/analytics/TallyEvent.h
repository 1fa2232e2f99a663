#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>

// One aggregated analytics event: its name, optional segments (string keys to string values),
// how many times it happened, a summed value and when it happened. Guarded by its EventQueue.
class TallyEvent : public NSObject {
    VX_OBJECT(TallyEvent, NSObject)
public:
    explicit TallyEvent(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<TallyEvent> init() { return make<TallyEvent>(); }

    const std::string& key() const { return m_key; }
    void setKey(const std::string& key) { m_key = key; }
    // A dictionary, or nil when the event has no segments.
    const Value& segmentation() const { return m_segmentation; }
    void setSegmentation(const Value& segmentation) { m_segmentation = segmentation.copy(); }
    int32_t count() const { return m_count; }
    void setCount(int32_t count) { m_count = count; }
    double sum() const { return m_sum; }
    void setSum(double sum) { m_sum = sum; }
    double timestamp() const { return m_timestamp; }
    void setTimestamp(double timestamp) { m_timestamp = timestamp; }

    // The event as one JSON object: "key", "segmentation" when present, "count", "sum" when
    // above 0 and "timestamp" in whole seconds.
    std::string JSONText() const;

private:
    std::string m_key;
    Value m_segmentation;
    int32_t m_count { 0 };
    double m_sum { 0 };
    double m_timestamp { 0 };
};

// A JSON string literal of the text: quotes, backslashes and control characters escaped; any
// other text is written as it is.
std::string TallyJSONString(const std::string& text);
