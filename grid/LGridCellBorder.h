#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "grid/GridForward.h"

#include <array>

class CAGradientLayer;

// Lays out and colours the four border strips of a cell (sublayers of its layer, in side order
// top, bottom, left, right) from the grid-line styles around the cell. Main thread only; the
// cell is a weak link.
class LGridCellBorder : public NSObject {
    VX_OBJECT(LGridCellBorder, NSObject)
public:
    explicit LGridCellBorder(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<LGridCellBorder> initWithCell(const Ref<LGridCell>& cell);

    Ref<LGridLineStyle> borderStyleAt(int32_t side) const;
    float borderSizeAt(int32_t side) const;
    CGRect horizontalBorderFrameTop(bool top) const;
    CGRect verticalBorderFrameLeft(bool left) const;
    void setFrame(CGRect frame);
    void refreshBorderWithFrameRestyleBorders(CGRect frame, bool restyle);
    void styleBorderAtIndex(const Ref<CAGradientLayer>& layer, int32_t side);
    void resetForReuse() { m_initialisedBorders = false; }
    const std::array<Ref<CAGradientLayer>, 4>& borders() const { return m_borders; }
    bool initialisedBorders() const { return m_initialisedBorders; }

private:
    std::array<Ref<CAGradientLayer>, 4> m_borders;
    Weak<LGridCell> m_cell;
    bool m_initialisedBorders { false };
};
