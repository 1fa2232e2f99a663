#pragma once

#include "uikit/UIView.h"

class UILabel;

// Tells the user that no photo of the aircraft exists: a white, shadowed note over a stretched
// warning image. Built from the layout "KESTNoImageWarningView". Main thread only.
class KESTNoImageWarningView : public UIView {
    VX_OBJECT(KESTNoImageWarningView, UIView)
public:
    explicit KESTNoImageWarningView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTNoImageWarningView> initWithFrame(CGRect frame) { return makeView<KESTNoImageWarningView>(frame); }
    // The view of the layout "KESTNoImageWarningView".
    static Ref<KESTNoImageWarningView> viewFromNib();

    // The photo-upload address named in the note.
    static const char* uploadAddress();

    // Sets up the view and its label once the layout has built it.
    virtual void awakeFromNib();
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;

    const Ref<UILabel>& label() const { return m_label; }

private:
    Ref<UILabel> m_label;
};
