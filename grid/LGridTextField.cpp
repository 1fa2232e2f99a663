#include "grid/LGridTextField.h"

void LGridTextField::setFrame(CGRect frame)
{
    setCenter(CGPointMake(frame.origin.x + frame.size.width / 2, frame.origin.y + frame.size.height / 2));
    CGRect b = bounds();
    if (b.size.width != frame.size.width || b.size.height != frame.size.height)
        setBounds(CGRectMake(0, 0, frame.size.width, frame.size.height));
}

void LGridTextField::setTextColor(const Ref<UIColor>& color)
{
    willChangeValueForKey("textColor");
    UITextField::setTextColor(color);
    didChangeValueForKey("textColor");
}

void LGridTextField::setFont(const Ref<UIFont>& font)
{
    willChangeValueForKey("font");
    UITextField::setFont(font);
    didChangeValueForKey("font");
}

void LGridTextField::setTextAlignment(NSTextAlignment alignment)
{
    willChangeValueForKey("textAlignment");
    UITextField::setTextAlignment(alignment);
    didChangeValueForKey("textAlignment");
}

void LGridTextField::setContentVerticalAlignment(UIControlContentVerticalAlignment alignment)
{
    willChangeValueForKey("contentVerticalAlignment");
    UITextField::setContentVerticalAlignment(alignment);
    didChangeValueForKey("contentVerticalAlignment");
}

void LGridTextField::setText(const std::string& text)
{
    willChangeValueForKey("text");
    UITextField::setText(text);
    didChangeValueForKey("text");
}
