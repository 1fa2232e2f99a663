#pragma once

#include "foundation/NSObject.h"

#include <string>

// What the store button shows: its label and whether it can be tapped.
class HBRStoreButtonData : public NSObject {
    VX_OBJECT(HBRStoreButtonData, NSObject)
public:
    explicit HBRStoreButtonData(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<HBRStoreButtonData> initWithLabelEnabled(std::string label, bool enabled)
    {
        auto data = make<HBRStoreButtonData>();
        data->m_label = std::move(label);
        data->m_enabled = enabled;
        return data;
    }
    static Ref<HBRStoreButtonData> dataWithLabelEnabled(std::string label, bool enabled)
    {
        return initWithLabelEnabled(std::move(label), enabled);
    }

    const std::string& label() const { return m_label; }
    void setLabel(std::string label) { m_label = std::move(label); }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

private:
    std::string m_label;
    bool m_enabled { false };
};
