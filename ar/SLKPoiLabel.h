#pragma once

#include "ar/SLKPoi.h"

class SLKPoiLabelTemplate;
class UIImage;

// A point of interest shown as a label view loaded from a layout, with a title, a description,
// an optional image and a distance text that follows the distance in three bands. Main thread only.
class SLKPoiLabel : public SLKPoi {
    VX_OBJECT(SLKPoiLabel, SLKPoi)
public:
    explicit SLKPoiLabel(Passkey key)
        : SLKPoi(key)
    {
    }
    // nil (with a log line) without a title.
    static Ref<SLKPoiLabel> initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
        const std::optional<std::string>& title, const std::optional<std::string>& description,
        const Ref<UIImage>& image, const std::optional<std::string>& xibName, const Ref<CLLocation>& location);
    static Ref<SLKPoiLabel> initWithTitleAtLocation(
        const std::optional<std::string>& title, const Ref<CLLocation>& location)
    {
        return initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
            title, std::nullopt, nullptr, std::nullopt, location);
    }

    std::optional<std::string> title() const override { return m_title; }
    std::optional<std::string> subtitle() const override { return m_distance; }
    void setTitle(const std::optional<std::string>& title);
    const std::optional<std::string>& labelDescription() const { return m_description; }
    void setDescription(const std::optional<std::string>& description);
    const std::optional<std::string>& distance() const { return m_distance; }
    const Ref<UIImage>& image() const { return m_image; }
    void setImage(const Ref<UIImage>& image) { m_image = image; }
    const Ref<SLKPoiLabelTemplate>& labelTemplate() const { return m_labelTemplate; }
    bool loadedFromNib() const { return m_loadedFromNib; }
    const std::string& xibFileName() const { return m_xibFileName; }
    float lastUpdateAtDistance() const { return m_lastUpdateAtDistance; }
    CGSize stackingSize() const override { return m_stackingSize; }

    void loadContent() override;
    void unloadContent() override;
    void updateContent() override;

protected:
    // Runs the designated initialiser's steps on a made object; false for a refused label.
    bool initializeLabel(const std::optional<std::string>& title, const std::optional<std::string>& description,
        const Ref<UIImage>& image, const std::optional<std::string>& xibName, const Ref<CLLocation>& location);
    template <typename T>
    static Ref<T> makeLabel(const std::optional<std::string>& title, const std::optional<std::string>& description,
        const Ref<UIImage>& image, const std::optional<std::string>& xibName, const Ref<CLLocation>& location)
    {
        auto label = make<T>();
        if (!label->initializeLabel(title, description, image, xibName, location))
            return nullptr;
        return label;
    }
    void setStackingSize(CGSize size) { m_stackingSize = size; }
    void setDistanceText(const std::optional<std::string>& text) { m_distance = text; }

private:
    std::optional<std::string> m_title;
    std::optional<std::string> m_description;
    std::optional<std::string> m_distance;
    Ref<UIImage> m_image;
    float m_lastUpdateAtDistance { 0 };
    bool m_loadedFromNib { false };
    Ref<SLKPoiLabelTemplate> m_labelTemplate;
    std::string m_xibFileName { "DefaultPoiLabel" };
    CGSize m_stackingSize {};
};
