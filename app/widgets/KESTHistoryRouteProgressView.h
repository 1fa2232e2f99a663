#pragma once

#include "foundation/Value.h"
#include "uikit/UIView.h"

class UILabel;

// The bar of the paged history strip: one grey hop bar with end caps per hop and each hop's
// two airport names above it. The entries are taken once. Main thread only.
class KESTHistoryRouteProgressView : public UIView {
    VX_OBJECT(KESTHistoryRouteProgressView, UIView)
public:
    explicit KESTHistoryRouteProgressView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTHistoryRouteProgressView> initWithFrame(CGRect frame);

    const Value& data() const { return m_data; }
    // Stores the entries only when none are stored yet, then lays out.
    void setData(const Value& data);
    void performLayout();
    void drawRect(CGRect rect) override;

    float progress() const { return m_progress; }
    int32_t totalHops() const { return m_totalHops; }
    int32_t currentHop() const { return m_currentHop; }
    const Ref<UILabel>& distanceTravelledLabel() const { return m_distanceTravelledLabel; }
    const Ref<UILabel>& distanceTotalLabel() const { return m_distanceTotalLabel; }
    // The cap images the last drawing chose per hop, left then right, for tests.
    const std::vector<std::pair<std::string, std::string>>& lastCaps() const { return m_lastCaps; }

private:
    float m_progress { 0 };
    int32_t m_totalHops { 0 };
    int32_t m_currentHop { 0 };
    Value m_data;
    Ref<UILabel> m_distanceTravelledLabel;
    Ref<UILabel> m_distanceTotalLabel;
    std::vector<std::pair<std::string, std::string>> m_lastCaps;
};
