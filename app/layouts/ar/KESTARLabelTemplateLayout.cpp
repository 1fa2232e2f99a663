#include "app/view-controllers/ar/KESTARLabelTemplate.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINib.h"

namespace {

Ref<UILabel> makeLabel(
    CGRect frame, const Ref<UIFont>& font, const Ref<UIColor>& colour, NSTextAlignment alignment = NSTextAlignmentLeft)
{
    auto label = UILabel::initWithFrame(frame);
    label->setFont(font);
    label->setTextColor(colour);
    label->setBackgroundColor(UIColor::clearColor());
    label->setTextAlignment(alignment);
    return label;
}

// One plane's label: a dark card with the flight in large type and the distance at the top, the
// route and airports below, then speed, altitude and registration, and the airline logo on a strip
// along the bottom. The card is opaque: where planes crowd, nearer cards are drawn over farther
// ones, and a see-through card would show the texts behind it through its own.
std::vector<Value> buildFloatingView(const Ref<NSObject>&, const Value&)
{
    auto root = KESTARLabelTemplate::initWithFrame(CGRectMake(0, 0, 260, 112));
    root->setBackgroundColor(UIColor::colorWithRedGreenBlueAlpha(0.06f, 0.09f, 0.16f, 1));
    auto white = UIColor::whiteColor();
    auto soft = UIColor::colorWithWhiteAlpha(0.82f, 1);
    auto accent = UIColor::colorWithRedGreenBlueAlpha(1, 0.78f, 0.2f, 1);
    auto title = makeLabel(CGRectMake(8, 4, 160, 24), UIFont::boldSystemFontOfSize(20), white);
    auto distance
        = makeLabel(CGRectMake(170, 6, 82, 20), UIFont::boldSystemFontOfSize(15), accent, NSTextAlignmentRight);
    auto content = makeLabel(CGRectMake(8, 28, 244, 14), UIFont::systemFontOfSize(11), soft);
    auto dep = makeLabel(CGRectMake(8, 42, 244, 14), UIFont::systemFontOfSize(11), soft);
    auto arr = makeLabel(CGRectMake(8, 56, 244, 14), UIFont::systemFontOfSize(11), soft);
    auto speedAlt = makeLabel(CGRectMake(8, 70, 160, 16), UIFont::systemFontOfSize(13), white);
    auto reg = makeLabel(CGRectMake(170, 70, 82, 16), UIFont::systemFontOfSize(13), white, NSTextAlignmentRight);
    auto image = UIImageView::initWithFrame(CGRectMake(230, 4, 24, 24));
    image->setHidden(true);
    auto logo = UIImageView::initWithFrame(CGRectMake(8, 88, 104, 20));
    logo->setContentMode(UIViewContentModeScaleAspectFit);
    for (auto& view : std::vector<Ref<UIView>> { title, distance, content, dep, arr, speedAlt, reg, image, logo })
        root->addSubview(view);
    root->setTitle(title);
    root->setContent(content);
    root->setDistance(distance);
    root->setImage(image);
    root->setSpeedAltLabel(speedAlt);
    root->setRegLabel(reg);
    root->setDepLabel(dep);
    root->setArrLabel(arr);
    root->setLogoView(logo);
    root->installTapRecognizer();
    return { Value(Ref<UIView>(root)) };
}

} // namespace

VX_REGISTER_LAYOUT("SLKFloatingView", buildFloatingView);
