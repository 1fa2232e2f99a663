#pragma once

#include "ar/SLKPoiLabel.h"

// A label that also fades and scales with distance and stacks above overlapping labels in the
// overlay; while hidden it parks at the stacking origin. Main thread only.
class SLKPoiAdvancedLabel : public SLKPoiLabel {
    VX_OBJECT(SLKPoiAdvancedLabel, SLKPoiLabel)
public:
    explicit SLKPoiAdvancedLabel(Passkey key)
        : SLKPoiLabel(key)
    {
    }
    static Ref<SLKPoiAdvancedLabel> initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
        const std::optional<std::string>& title, const std::optional<std::string>& description,
        const Ref<UIImage>& image, const std::optional<std::string>& xibName, const Ref<CLLocation>& location)
    {
        return makeLabel<SLKPoiAdvancedLabel>(title, description, image, xibName, location);
    }

    bool updatesAppearance() const override { return true; }
    bool stacksInView() const override { return true; }
    void updateAppearance() override;
    void renderInView(const Ref<SLKView>& view) override;
    bool inOrigin() const { return m_inOrigin; }

    static CGPoint stackingOrigin();
    static void setStackingOriginAndY(float x, float y);
    static void resetForTesting();

private:
    bool m_inOrigin { false };
};
