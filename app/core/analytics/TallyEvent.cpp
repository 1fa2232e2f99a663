#include "app/core/analytics/TallyEvent.h"

#include "foundation/NSString.h"

#include <cstdio>

VX_REGISTER_CLASS(TallyEvent);

std::string TallyJSONString(const std::string& text)
{
    // Names come from outside (the other-apps list names events after the apps it was sent), so
    // a quote or a backslash in them must not break the collector's JSON.
    std::string quoted = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                quoted += escape;
            } else {
                quoted += char(c);
            }
        }
    }
    quoted += '"';
    return quoted;
}

std::string TallyEvent::JSONText() const
{
    std::string text = "{\"key\":" + TallyJSONString(m_key);
    if (m_segmentation.isDictionary()) {
        text += ",\"segmentation\":{";
        bool first = true;
        for (const auto& [key, value] : m_segmentation.entries()) {
            if (!first)
                text += ",";
            first = false;
            text += TallyJSONString(key.description()) + ":" + TallyJSONString(value.description());
        }
        text += "}";
    }
    text += NSString::stringWithFormat(",\"count\":%d", m_count);
    if (m_sum > 0)
        text += NSString::stringWithFormat(",\"sum\":%g", m_sum);
    text += NSString::stringWithFormat(",\"timestamp\":%ld}", long(m_timestamp));
    return text;
}
