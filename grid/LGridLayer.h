#pragma once

#include "grid/GridForward.h"
#include "uikit/UIScrollView.h"

#include <set>
#include <string>

// What a pane holds: 0 cells in no frozen row or column (follows x and y), 1 cells in frozen
// rows (follows x), 2 cells in frozen columns (follows y), 3 the frozen corner (follows nothing).
enum LGridFreezeType : int32_t {
    LGridFreezeTypeNone = 0,
    LGridFreezeTypeVertical = 1,
    LGridFreezeTypeHorizontal = 2,
    LGridFreezeTypeStatic = 3,
};

// One of the grid's transparent overlapping scroll views. It owns one content view as large as
// the grid's content, and follows only the offset components its freeze type allows; frozen
// panes never bounce past the top or left edge. Main thread only; the grid is a weak link.
class LGridLayer : public UIScrollView {
    VX_OBJECT(LGridLayer, UIScrollView)
public:
    explicit LGridLayer(Passkey key)
        : UIScrollView(key)
    {
    }
    static Ref<LGridLayer> initWithFreezeWithGrid(int32_t freezeType, const Ref<LatticeGrid>& grid);
    // Panes are made only with a freeze type: this is a fatal grid error.
    [[noreturn]] static void init();

    void setContentOffset(CGPoint offset) override;
    virtual bool topBounceNeedsClampingForOffset(CGPoint offset) const { return offset.y < 0; }
    virtual bool leftBounceNeedsClampingForOffset(CGPoint offset) const { return offset.x < 0; }
    virtual bool shouldHaveBorder() const { return true; }
    bool pointInside(CGPoint point, const Ref<UIEvent>& event) override;
    std::vector<Ref<UIView>> addedCells() const;
    std::string freezeTypeDescription() const;
    std::string description() const override;

    const Ref<LGridLayerContent>& content() const { return m_content; }
    int32_t freezeType() const { return m_freezeType; }
    Ref<LatticeGrid> grid() const { return m_grid.lock(); }

protected:
    template <typename T> static Ref<T> makeLayer(int32_t freezeType, const Ref<LatticeGrid>& grid)
    {
        auto layer = makeScrollView<T>(CGRectZero);
        layer->initialiseLayer(freezeType, grid);
        return layer;
    }
    void initialiseLayer(int32_t freezeType, const Ref<LatticeGrid>& grid);

private:
    Ref<LGridLayerContent> m_content;
    int32_t m_freezeType { 0 };
    Weak<LatticeGrid> m_grid;
};

// The content view of a pane: its cells, its share of the section headers and two border
// views. Keeps the set of its subviews that take taps. Main thread only.
class LGridLayerContent : public UIView {
    VX_OBJECT(LGridLayerContent, UIView)
public:
    explicit LGridLayerContent(Passkey key)
        : UIView(key)
    {
    }
    static Ref<LGridLayerContent> initWithLayer(const Ref<LGridLayer>& layer);

    void setFrame(CGRect frame) override;
    void setupBorder();
    void setBorderFrame(CGRect frame);
    Ref<LatticeGrid> owningGrid() const;
    Ref<LGridLayer> owningLayer() const { return m_owningLayer.lock(); }
    float frozenWidth() const;
    float frozenHeight() const;
    void generateSectionHeadersForSectionAtOrigin(const Ref<LGridSection>& section, float y);
    // A cell with a zero frame is not added.
    void addCell(const Ref<UIView>& cell);
    // Moves the cell out of every visible area; it stays a subview until it is used again.
    void removeCell(const Ref<UIView>& cell);
    void prepareForReload();
    void removeGridLinesAndSectionHeadersFromView();
    void didAddSubview(const Ref<UIView>& view) override;
    void willRemoveSubview(const Ref<UIView>& view) override;
    const std::vector<Ref<UIView>>& selectableGridElements() const { return m_selectableGridElements; }
    const std::array<Ref<UIView>, 2>& borders() const { return m_borders; }
    std::string description() const override;

private:
    std::array<Ref<UIView>, 2> m_borders;
    Weak<LGridLayer> m_owningLayer;
    // In insertion order, so that hit testing and tests see a stable order.
    std::vector<Ref<UIView>> m_selectableGridElements;
};

// A pane that only shows one of the grid's scroll indicators, above every other pane. Its
// indicator stays visible from the start of a user drag until the movement ends, then fades out
// in 0.3 s; offsets set by code leave it alone. Its own scroll delegate.
class LGridScrollIndicatorLayer : public LGridLayer, public UIScrollViewDelegate {
    VX_OBJECT(LGridScrollIndicatorLayer, LGridLayer)
public:
    static constexpr int32_t kVerticalIndicatorTag = 654849;
    static constexpr int32_t kHorizontalIndicatorTag = 654850;

    explicit LGridScrollIndicatorLayer(Passkey key)
        : LGridLayer(key)
    {
    }
    static Ref<LGridScrollIndicatorLayer> initAsVerticalIndicatorWithGrid(bool vertical, const Ref<LatticeGrid>& grid);

    Ref<UIImageView> findScrollIndicator() const;
    void showIndicator();
    void hideIndicator();
    bool safeToAccessIndicator() const;
    bool isProgrammaticScrollHappening() const { return m_isProgrammaticScrollHappening; }
    void setIsProgrammaticScrollHappening(bool v) { m_isProgrammaticScrollHappening = v; }
    bool shouldHaveBorder() const override { return false; }
    bool topBounceNeedsClampingForOffset(CGPoint) const override { return false; }
    bool leftBounceNeedsClampingForOffset(CGPoint) const override { return false; }

    void scrollViewDidScroll(const Ref<UIScrollView>&) override;
    void scrollViewWillBeginDragging(const Ref<UIScrollView>&) override;
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>&) override;
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool decelerate) override;
    void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>&) override;

protected:
    Ref<UIImageView> makeScrollIndicator(IndicatorAxis axis) override;

private:
    bool m_isVerticalIndicator { false };
    Weak<UIImageView> m_scrollIndicator;
    bool m_isProgrammaticScrollHappening { true };
};
