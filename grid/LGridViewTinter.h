#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

#include <array>

class UIColor;
class UIView;

// The tint that darkens a grid outside a dragged row or column: two translucent bands, one on
// each side of the dragged band, shown and hidden by fading their alpha (0.3 shown). Without a
// tint colour the bands are clear and show nothing. Main thread only.
class LGridViewTinter : public NSObject {
    VX_OBJECT(LGridViewTinter, NSObject)
public:
    explicit LGridViewTinter(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridViewTinter> init();

    void setTintColor(const Ref<UIColor>& color);
    Ref<UIColor> tintColor() const;
    void moveToView(const Ref<UIView>& view);
    void showAndPosition(const std::array<CGRect, 2>& rects);
    // Fades both bands to alpha 0 (hidden) or 0.3 over 0.3 s; the views' hidden flag stays.
    void setHidden(bool hidden);
    void hide() { setHidden(true); }
    void highlightYFromToInBounds(float from, float to, CGRect bounds);
    void highlightXFromToInBounds(float from, float to, CGRect bounds);
    const std::array<Ref<UIView>, 2>& tints() const { return m_tints; }

private:
    std::array<Ref<UIView>, 2> m_tints;
};
