#include "ar/SLKPoiLabel.h"

#include "ar/SLKController.h"
#include "ar/SLKPoiLabelTemplate.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

#include <cmath>

Ref<SLKPoiLabel> SLKPoiLabel::initWithTitleTheDescriptionTheImageFromTemplateXibAtLocation(
    const std::optional<std::string>& title, const std::optional<std::string>& description, const Ref<UIImage>& image,
    const std::optional<std::string>& xibName, const Ref<CLLocation>& location)
{
    return makeLabel<SLKPoiLabel>(title, description, image, xibName, location);
}

bool SLKPoiLabel::initializeLabel(const std::optional<std::string>& title,
    const std::optional<std::string>& description, const Ref<UIImage>& image, const std::optional<std::string>& xibName,
    const Ref<CLLocation>& location)
{
    if (!title) {
        NSLog("Could not create label, no title specified!");
        return false;
    }
    m_title = title;
    m_description = description;
    if (image)
        m_image = image;
    m_labelTemplate = nullptr;
    m_xibFileName = xibName ? *xibName : std::string("DefaultPoiLabel");
    m_lastUpdateAtDistance = 0;
    m_labelViewImage.clear();
    loadContent();
    if (location)
        setLocation(location);
    return true;
}

void SLKPoiLabel::setTitle(const std::optional<std::string>& title)
{
    m_title = title;
    if (m_labelTemplate) {
        if (auto label = m_labelTemplate->title())
            label->setText(title.value_or(""));
    }
}

void SLKPoiLabel::setDescription(const std::optional<std::string>& description)
{
    m_description = description;
    if (m_labelTemplate) {
        if (auto label = m_labelTemplate->content())
            label->setText(description.value_or(""));
    }
}

void SLKPoiLabel::loadContent()
{
    if (!labelView()) {
        auto loaded = SLKPoiLabelTemplate::loadPoiLabelTemplate(m_xibFileName);
        m_labelTemplate = loaded;
        setLabelView(loaded);
        if (loaded) {
            loaded->setPoiLabel(self<SLKPoiLabel>());
            if (auto label = loaded->title())
                label->setText(m_title.value_or(""));
            if (auto label = loaded->content())
                label->setText(m_description.value_or(""));
            m_stackingSize = loaded->originalSize();
            m_loadedFromNib = true;
        }
    }
    if (!radarView())
        setRadarView(makeRadarDotView());
}

void SLKPoiLabel::unloadContent()
{
    SLKPoi::unloadContent();
    m_labelTemplate = nullptr;
}

void SLKPoiLabel::updateContent()
{
    float d = distanceToUser();
    float change = std::fabs(d - m_lastUpdateAtDistance);
    const char* key;
    float step;
    double number;
    if (d >= 10000) {
        key = "SNR_DISTANCE_LARGEST";
        step = 1000;
        number = std::floor(d / 1000.0f);
    } else if (d > 1000) {
        key = "SNR_DISTANCE_LARGE";
        step = 100;
        number = std::floor(d / 1000.0f);
    } else {
        key = "SNR_DISTANCE_SMALL";
        step = 10;
        number = std::floor(d / 5.0f) * 5;
    }
    if (change < step)
        return;
    std::string format = SLKController::frameworkBundle()->localizedStringForKey(key, "", "SkyLensKit");
    m_distance = NSString::stringWithFormat(format, number);
    if (m_labelTemplate) {
        if (auto label = m_labelTemplate->distance())
            label->setText(*m_distance);
        if (auto imageView = m_labelTemplate->image()) {
            if (m_image) {
                imageView->setImage(m_image);
                imageView->setHidden(false);
            } else {
                imageView->setHidden(true);
            }
        }
    }
    SLKPoi::updateContent();
    m_lastUpdateAtDistance = d;
}
