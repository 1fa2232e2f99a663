#pragma once

#include "uikit/UIView.h"

class UIImage;
class UIImageView;
class UILabel;
class UISearchBar;

// What a tour page asks of its tour.
class KESTIntroDelegate {
public:
    virtual ~KESTIntroDelegate() = default;
    // The area of the tour's own controls (the page dots and the "Jump in" button).
    virtual CGRect controlFrames() = 0;
};

// One page of the first-run tour: an icon, a title and a text, laid out side by side in
// landscape and stacked in portrait, and optionally the live control of the map screen that the
// page is about, of which the tour shows a snapshot. Main thread only.
class KESTIntroPageView : public UIView {
    VX_OBJECT(KESTIntroPageView, UIView)
public:
    explicit KESTIntroPageView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<KESTIntroPageView> initWithFrame(CGRect frame);

    void layoutSubviews() override;
    // An image of the relevant view; a search bar is drawn as an empty one with its placeholder.
    Ref<UIImage> relevantViewSnapshot();

    Ref<UIView> relevantView;
    Ref<UILabel> titleLabel, contentLabel;
    Ref<UIImage> icon;
    Ref<UIImageView> iconImageView;
    KESTIntroDelegate* delegate { nullptr };

private:
    Ref<UISearchBar> m_tmpSearchBar;
};
