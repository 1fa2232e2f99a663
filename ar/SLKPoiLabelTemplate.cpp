#include "ar/SLKPoiLabelTemplate.h"

#include "ar/SLKController.h"
#include "ar/SLKPoiLabel.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"
#include "uikit/UITapGestureRecognizer.h"

#include <algorithm>

namespace {

float s_closeRange = 500;
float s_farRange = 100000;

// The kit's default label: a dark rounded panel with the title, the description below it, the
// distance in the lower right and a small image on the left.
std::vector<Value> buildDefaultPoiLabel(const Ref<NSObject>&, const Value&)
{
    auto root = SLKPoiLabelTemplate::initWithFrame(CGRectMake(0, 0, 200, 56));
    root->setBackgroundColor(UIColor::colorWithWhiteAlpha(0, 0.6f));
    root->layer()->setCornerRadius(6);
    auto image = UIImageView::initWithFrame(CGRectMake(6, 8, 40, 40));
    image->setContentMode(UIViewContentModeScaleAspectFit);
    auto title = UILabel::initWithFrame(CGRectMake(52, 4, 142, 22));
    title->setFont(UIFont::boldSystemFontOfSize(16));
    title->setTextColor(UIColor::whiteColor());
    title->setBackgroundColor(UIColor::clearColor());
    auto content = UILabel::initWithFrame(CGRectMake(52, 26, 100, 24));
    content->setFont(UIFont::systemFontOfSize(12));
    content->setTextColor(UIColor::colorWithWhiteAlpha(0.85f, 1));
    content->setBackgroundColor(UIColor::clearColor());
    auto distance = UILabel::initWithFrame(CGRectMake(150, 26, 44, 24));
    distance->setFont(UIFont::systemFontOfSize(12));
    distance->setTextColor(UIColor::whiteColor());
    distance->setTextAlignment(NSTextAlignmentRight);
    distance->setBackgroundColor(UIColor::clearColor());
    for (auto& view : std::vector<Ref<UIView>> { image, title, content, distance })
        root->addSubview(view);
    root->setTitle(title);
    root->setContent(content);
    root->setDistance(distance);
    root->setImage(image);
    root->installTapRecognizer();
    return { Value(Ref<UIView>(root)) };
}

} // namespace

VX_REGISTER_LAYOUT(SLKPoiLabelTemplate::frameworkLayoutName("DefaultPoiLabel"), buildDefaultPoiLabel);

std::string SLKPoiLabelTemplate::frameworkLayoutName(const std::string& name)
{
    return "SkyLensKitResources.bundle/" + name;
}

Ref<SLKPoiLabelTemplate> SLKPoiLabelTemplate::loadPoiLabelTemplateFromBundle(
    const std::string& name, const Ref<NSBundle>& bundle)
{
    // Layouts are registered by name: the main bundle's under the bare name, the kit's bundle's
    // under their bundle path.
    std::string layoutName = name;
    Ref<NSBundle> source = bundle ? bundle : NSBundle::mainBundle();
    bool inFramework = bundle && bundle != NSBundle::mainBundle();
    if (inFramework)
        layoutName = frameworkLayoutName(name);
    if (!UILayoutRegistry::hasLayout(layoutName)) {
        NSLog("could not load template named '%@' from main bundle, trying framework default bundle now...", name);
        source = SLKController::frameworkBundle();
        layoutName = frameworkLayoutName(name);
    }
    if (UILayoutRegistry::hasLayout(layoutName)) {
        auto nib = UINib::nibWithNibNameBundle(layoutName, source);
        auto objects = nib ? nib->instantiateWithOwnerOptions(nullptr, Value()) : std::vector<Value> {};
        for (auto& object : objects) {
            if (auto view = object.objectAs<SLKPoiLabelTemplate>()) {
                view->setHidden(true);
                view->setAutoresizesSubviews(true);
                view->setAutoresizingMask(UIViewAutoresizingNone);
                view->setOriginalSize(view->frame().size);
                return view;
            }
        }
    }
    NSLog("could not load template named '%@' from any bundle", name);
    return nullptr;
}

void SLKPoiLabelTemplate::setAppearanceRangeAndFarRange(float closeRange, float farRange)
{
    s_closeRange = closeRange;
    s_farRange = farRange;
}

float SLKPoiLabelTemplate::appearanceCloseRange()
{
    return s_closeRange;
}

float SLKPoiLabelTemplate::appearanceFarRange()
{
    return s_farRange;
}

void SLKPoiLabelTemplate::resetForTesting()
{
    s_closeRange = 500;
    s_farRange = 100000;
}

void SLKPoiLabelTemplate::installTapRecognizer()
{
    auto tap = UITapGestureRecognizer::init();
    Weak<SLKPoiLabelTemplate> weak = self<SLKPoiLabelTemplate>();
    tap->addTargetAction(
        self<SLKPoiLabelTemplate>(), "labelTappedAction:", [weak](const Ref<UIGestureRecognizer>& sender) {
            if (auto self = weak.lock())
                self->labelTappedAction(sender);
        });
    addGestureRecognizer(tap);
}

void SLKPoiLabelTemplate::labelTappedAction(const Ref<UIGestureRecognizer>&)
{
    if (!m_controller)
        m_controller = SLKController::sharedARController();
    if (auto delegate = m_controller->delegate().lock())
        delegate->arDidTapObject(poiLabel());
}

void SLKPoiLabelTemplate::updateAppearance()
{
    auto label = poiLabel();
    float d = label ? label->distanceToUser() : 0;
    float s = 1;
    if (d > s_closeRange)
        s = (2 - std::min(d / s_farRange, 1.0f)) / 2;
    s = std::max(s, 0.7f);
    setAlpha(s);
    CGRect frame = this->frame();
    setFrame(CGRectMake(frame.origin.x, frame.origin.y, s * m_originalSize.width, s * m_originalSize.height));
}
