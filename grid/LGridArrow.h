#pragma once

#include "grid/GridForward.h"
#include "uikit/UIImageView.h"

// A small arrow laid on a cell while it is dragged, showing a way the cell may move. The
// orientation says which side of the cell it sits on: 0 top (points up), 1 bottom (down),
// 2 left, 3 right; other values keep the image as it is and get no placement or pulse offset.
// It starts invisible, fades, and pulses a third of the cell towards the cell's middle and back.
// Subclasses decide how it is placed on a cell. Main thread only.
class LGridArrow : public UIImageView {
    VX_OBJECT(LGridArrow, UIImageView)
public:
    explicit LGridArrow(Passkey key)
        : UIImageView(key)
    {
    }
    ~LGridArrow() override;

    int32_t orientation() const { return m_orientation; }
    CGPoint futureCenter() const { return m_futureCenter; }
    CGSize cellSize() const { return m_cellSize; }

    // Alpha to `alpha` over 0.5 s.
    void fadeTo(float alpha);
    void pulse();
    void moveToFutureCenter();
    virtual void addToCell(const Ref<LGridCell>& cell);

protected:
    // Without an image the built-in arrow is used, turned for the orientation unless the caller
    // controls the orientation of its own image.
    void initialiseArrow(int32_t orientation, const Ref<UIImage>& image, bool userControlsOrientation);
    void setCellSize(CGSize size) { m_cellSize = size; }

private:
    int32_t m_orientation { 0 };
    CGPoint m_futureCenter {};
    CGSize m_cellSize {};
};
