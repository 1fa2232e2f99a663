#pragma once

#include "uikit/UILabel.h"

// The label of a multi-line text cell: as many lines as the text needs, vertically centred in
// the frame it is given and only as tall as its text, drawn 8 points in from either side. Its
// look setters tell key-value observers ("textColor", "font", "textAlignment") on every call.
// Main thread only.
class LGridTextLabel : public UILabel {
    VX_OBJECT(LGridTextLabel, UILabel)
public:
    explicit LGridTextLabel(Passkey key)
        : UILabel(key)
    {
    }
    static Ref<LGridTextLabel> initWithFrame(CGRect frame);

    // `rect` with its height replaced by what the text needs at its width (0 without text).
    CGRect constrainedHeightOfFrame(CGRect rect) const;
    void setFrame(CGRect frame) override;
    void setText(const std::string& text) override;
    void setTextColor(const Ref<UIColor>& color);
    void setFont(const Ref<UIFont>& font);
    void setTextAlignment(NSTextAlignment alignment);
    void drawTextInRect(CGRect rect) override;
};
