#pragma once

#include "uikit/UITextField.h"

// The single-line input of the grid's text cells. Its look setters tell key-value observers
// ("textColor", "font", "textAlignment", "contentVerticalAlignment", "text") on every call, so a
// cell can tell a change made from outside from its own. A new frame moves the centre and
// changes the bounds only when the size changes. Main thread only.
class LGridTextField : public UITextField {
    VX_OBJECT(LGridTextField, UITextField)
public:
    explicit LGridTextField(Passkey key)
        : UITextField(key)
    {
    }
    static Ref<LGridTextField> initWithFrame(CGRect frame) { return makeView<LGridTextField>(frame); }

    void setFrame(CGRect frame) override;
    void setTextColor(const Ref<UIColor>& color);
    void setFont(const Ref<UIFont>& font);
    void setTextAlignment(NSTextAlignment alignment);
    void setContentVerticalAlignment(UIControlContentVerticalAlignment alignment);
    void setText(const std::string& text);
};
