#pragma once

#include "uikit/UIView.h"

class KESTGradientView;

// The blue gradient backdrop behind the aircraft tab's type drawing. Main thread only.
class KESTAircraftImageView : public UIView {
    VX_OBJECT(KESTAircraftImageView, UIView)
public:
    explicit KESTAircraftImageView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTAircraftImageView> initWithFrame(CGRect frame);
    const Ref<KESTGradientView>& gradientView() const { return m_gradientView; }

private:
    Ref<KESTGradientView> m_gradientView;
};
