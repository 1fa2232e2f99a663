#include "app/widgets/KESTTokenButton.h"

#include "graphics/NSParagraphStyle.h"
#include "graphics/NSString+Drawing.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UILabel.h"

#include <cmath>

VX_REGISTER_CLASS(KESTTokenButton);

namespace {

Ref<UIColor> untoggledColor()
{
    return UIColor::colorWithRedGreenBlueAlpha(1.0f / 3, 1.0f / 3, 1.0f / 3, 1);
}

} // namespace

float KESTTokenButton::widthWithInfo(const Value& info)
{
    Value title = info.isDictionary() ? info["title"] : Value();
    if (!title.isString())
        return 20;
    Value attributes = Value::dictionary(
        { { Value(NSFontAttributeName), Value(UIFont::preferredFontForTextStyle(UIFontTextStyleBody)) } });
    // Text measures in fractions of a point; the token is sized in whole points so that it, and
    // the tokens placed after it, sit on whole pixels and their rounded ends are drawn crisp.
    return std::ceil(float(NSString_Drawing::sizeWithAttributes(title.stringValue(), attributes).width)) + 20;
}

Ref<KESTTokenButton> KESTTokenButton::initWithInfo(const Value& info)
{
    auto button = makeButton<KESTTokenButton>(UIButtonTypeCustom, CGRectMake(0, 0, widthWithInfo(info), 34));
    if (auto background = UIImage::imageNamed("tokenButton.png"))
        button->setBackgroundImageForState(
            background->resizableImageWithCapInsets(UIEdgeInsetsMake(0, 17, 0, 17)), UIControlStateNormal);
    button->setTitleColorForState(untoggledColor(), UIControlStateNormal);
    button->addTarget(button, &KESTTokenButton::didPress, "didPress:", UIControlEventTouchUpInside);
    if (info.isDictionary()) {
        if (info["title"].isString())
            button->setTitleForState(info["title"].stringValue(), UIControlStateNormal);
        if (auto image = info["image"].objectAs<UIImage>())
            button->setImageForState(image, UIControlStateNormal);
        if (!info["representedObject"].isNil())
            button->m_representedObject = info["representedObject"];
    }
    button->titleLabel()->setFont(UIFont::preferredFontForTextStyle(UIFontTextStyleBody));
    return button;
}

void KESTTokenButton::setToggled(bool toggled)
{
    setTitleColorForState(toggled ? UIColor::redColor() : untoggledColor(), UIControlStateNormal);
}

bool KESTTokenButton::becomeFirstResponder()
{
    bool became = UIButton::becomeFirstResponder();
    if (became)
        setToggled(true);
    return became;
}

bool KESTTokenButton::resignFirstResponder()
{
    bool resigned = UIButton::resignFirstResponder();
    if (resigned)
        setToggled(false);
    return resigned;
}

void KESTTokenButton::didPress(const Ref<NSObject>&) { }
