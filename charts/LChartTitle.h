#pragma once

#include "uikit/UILabel.h"

// The label of the chart title and the axis titles. It remembers whether its frame was set
// (the chart places titles itself only while it was not); resizing to fit never counts as
// setting it. Main thread only.
class LChartTitle final : public UILabel {
    VX_OBJECT(LChartTitle, UILabel)
public:
    explicit LChartTitle(Passkey key)
        : UILabel(key)
    {
    }
    static Ref<LChartTitle> init();

    void setFrame(CGRect frame) override;
    // Sets the text, then sizes the title to fit it. Both override the label's own, so a
    // title set or sized through a plain UILabel or UIView keeps the placement rule too.
    void setText(const std::string& text) override;
    void setTitleText(const std::string& text) { setText(text); }
    // A placed title keeps its centre; an unplaced one keeps its horizontal centre and moves
    // its top edge to 0.
    void sizeToFit() override;
    void sizeTitleToFit() { sizeToFit(); }
    bool userSetFrame() const { return m_userSetFrame; }
    void setUserSetFrame(bool set) { m_userSetFrame = set; }

private:
    bool m_userSetFrame { false };
};
