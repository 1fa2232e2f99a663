#pragma once

#include "uikit/UIView.h"

class NSBundle;
class SLKController;
class SLKPoiLabel;
class UIGestureRecognizer;
class UIImageView;
class UILabel;

// The view of a labelled AR object, loaded from a layout: title, description, distance and
// image outlets; it knows its label (weakly), reports taps to the AR controller's delegate and
// fades and shrinks itself with distance. The kit's own layouts are registered under
// "SkyLensKitResources.bundle/<name>", the application's under their bare name. Main thread only.
class SLKPoiLabelTemplate : public UIView {
    VX_OBJECT(SLKPoiLabelTemplate, UIView)
public:
    explicit SLKPoiLabelTemplate(Passkey key)
        : UIView(key)
    {
    }
    static Ref<SLKPoiLabelTemplate> initWithFrame(CGRect frame) { return makeView<SLKPoiLabelTemplate>(frame); }

    // Loads a template layout from the bundle (nil: the main bundle), falling back to the kit's
    // resource bundle; nil (with a log line) when neither has it.
    static Ref<SLKPoiLabelTemplate> loadPoiLabelTemplateFromBundle(
        const std::string& name, const Ref<NSBundle>& bundle);
    static Ref<SLKPoiLabelTemplate> loadPoiLabelTemplate(const std::string& name)
    {
        return loadPoiLabelTemplateFromBundle(name, nullptr);
    }
    static Ref<SLKPoiLabelTemplate> loadMarkerTemplate(const std::string& name) { return loadPoiLabelTemplate(name); }
    static void setAppearanceRangeAndFarRange(float closeRange, float farRange);
    static float appearanceCloseRange();
    static float appearanceFarRange();
    static void resetForTesting();
    // The name under which the kit registers a layout of its resource bundle.
    static std::string frameworkLayoutName(const std::string& name);

    virtual void labelTappedAction(const Ref<UIGestureRecognizer>& sender);
    virtual void updateAppearance();

    Ref<UILabel> title() const { return m_title.lock(); }
    void setTitle(const Ref<UILabel>& label) { m_title = label; }
    Ref<UILabel> content() const { return m_content.lock(); }
    void setContent(const Ref<UILabel>& label) { m_content = label; }
    Ref<UILabel> distance() const { return m_distance.lock(); }
    void setDistance(const Ref<UILabel>& label) { m_distance = label; }
    Ref<UIImageView> image() const { return m_image.lock(); }
    void setImage(const Ref<UIImageView>& view) { m_image = view; }
    Ref<SLKPoiLabel> poiLabel() const { return m_poiLabel.lock(); }
    void setPoiLabel(const Ref<SLKPoiLabel>& label) { m_poiLabel = label; }
    const Ref<SLKController>& controller() const { return m_controller; }
    CGSize originalSize() const { return m_originalSize; }
    void setOriginalSize(CGSize size) { m_originalSize = size; }

    // Adds the tap recogniser that calls labelTappedAction (layouts call it on their root).
    void installTapRecognizer();

private:
    Weak<UILabel> m_title;
    Weak<UILabel> m_content;
    Weak<UILabel> m_distance;
    Weak<UIImageView> m_image;
    Weak<SLKPoiLabel> m_poiLabel;
    Ref<SLKController> m_controller;
    CGSize m_originalSize {};
};
