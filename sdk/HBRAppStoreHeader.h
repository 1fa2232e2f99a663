#pragma once

#include "uikit/UIView.h"

#include <string>

class UIImage;
class UILabel;

// The update screen's header: the application's icon with its name and company beside it, on
// the flat (style 1) or the older gradient (style 0) background. Main thread only.
class HBRAppStoreHeader : public UIView {
    VX_OBJECT(HBRAppStoreHeader, UIView)
public:
    explicit HBRAppStoreHeader(Passkey key)
        : UIView(key)
    {
    }
    static Ref<HBRAppStoreHeader> initWithFrame(CGRect frame);

    const std::string& headerText() const { return m_headerText; }
    void setHeaderText(const std::string& text);
    const std::string& subHeaderText() const { return m_subHeaderText; }
    void setSubHeaderText(const std::string& text);
    const Ref<UIImage>& iconImage() const { return m_iconImage; }
    // Scaled to fit 72 x 72 points with rounded corners.
    void setIconImage(const Ref<UIImage>& image);
    uint32_t style() const { return m_style; }
    void setStyle(uint32_t style);
    const Ref<UILabel>& headerLabelView() const { return m_headerLabelView; }
    const Ref<UILabel>& middleLabelView() const { return m_middleLabelView; }

    void drawRect(CGRect rect) override;
    void layoutSubviews() override;

private:
    std::string m_headerText;
    std::string m_subHeaderText;
    Ref<UIImage> m_iconImage;
    Ref<UIImage> m_sourceIcon;
    uint32_t m_style { 0 };
    Ref<UILabel> m_headerLabelView;
    Ref<UILabel> m_middleLabelView;
};
