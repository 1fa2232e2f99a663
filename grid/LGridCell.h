#pragma once

#include "grid/GridForward.h"
#include "grid/LGridRow.h"
#include "uikit/UIView.h"

#include <array>
#include <string>

class LGridShadow;

// Something in a pane that takes taps: cells and section headers.
class LGridEventResponder {
public:
    virtual ~LGridEventResponder() = default;
    virtual void respondToSelectionEvent() = 0;
    virtual void respondToEditEvent() = 0;
};

// One cell of the grid: a reusable view with a gradient-capable layer, a coordinate, a reuse
// identifier, a selected state with its own styles, four border strips drawn from the grid-line
// styles, shadows on frozen edges and while dragged, and the movement and collapse behaviour the
// grid needs. The engine works on cells through this class; a view that stands in for a cell
// derives from it and overrides what it passes on. Main thread only. The grid and the owning
// pane are weak links.
class LGridCell : public UIView, public LGridEventResponder {
    VX_OBJECT(LGridCell, UIView)
public:
    explicit LGridCell(Passkey key)
        : UIView(key)
    {
    }
    ~LGridCell() override;
    // A nil (empty) identifier is a fatal grid error.
    static Ref<LGridCell> initWithReuseIdentifier(const std::string& reuseIdentifier);

    Ref<CALayer> layerClass() const override;
    virtual Ref<LGridCell> copy() const;
    virtual void resetForReuse();
    std::string description() const override;

    // Styling.
    virtual void applyStyle(const Ref<LGridCellStyle>& style);
    virtual Ref<LGridCellStyle> currentStyle() const;
    void setBackgroundColor(const Ref<UIColor>& color) override;
    void setBackgroundColorPrivately(const Ref<UIColor>& color);
    void setGradient(const Ref<LGridGradient>& gradient);
    const Ref<LGridCellStyle>& selectedStyle();
    void setSelectedStyle(const Ref<LGridCellStyle>& style) { m_selectedStyle = style; }
    Ref<UIColor> selectedColor();
    void setSelectedColor(const Ref<UIColor>& color);
    const Ref<LGridCellStyle>& deselectedStyle();
    void setDeselectedStyle(const Ref<LGridCellStyle>& style) { m_deselectedStyle = style; }
    bool useOwnBackgroundColor() const { return m_useOwnBackgroundColor; }
    void setUseOwnBackgroundColor(bool v) { m_useOwnBackgroundColor = v; }
    Ref<LGridCellStyle> selectedStyleFromStylePrecedenceWithDefault(const Ref<LGridCellStyle>& style);
    void applySelectedStyleCacheDeselectedStyle(const Ref<LGridCellStyle>& style, bool cache);
    virtual void recordDeselectedStyle();
    void applyDeselectedStyle();

    // Selection. Callback level 0 asks the delegate first and tells it before and after, 1 only
    // tells it, 2 makes no delegate call.
    bool selected() const { return m_selected; }
    void setSelected(bool selected) { m_selected = selected; }
    void setSelectedAnimated(bool selected, bool animated);
    void setSelectedAnimatedNeedsDelegateCallBacksFor(bool selected, bool animated, int32_t level);
    virtual void setSelectedAnimatedWithSelectedStyleNeedsDelegateCallBacksFor(
        bool selected, bool animated, const Ref<LGridCellStyle>& style, int32_t level);
    void respondToSelectionEvent() override;
    void respondToEditEvent() override { }
    void actUponSelectionEvent();
    void actUponEditEvent();

    // Ownership and position.
    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    const Ref<LGridCoord>& gridCoord() const { return m_gridCoord; }
    // The first coordinate is kept; later ones are copied into it in place.
    void setGridCoord(const Ref<LGridCoord>& coord);
    void setOwningLayer(const Ref<LGridLayer>& layer);
    Ref<LGridLayer> owningLayer() const { return m_owningLayer.lock(); }
    Ref<LatticeGrid> owningGrid() const { return m_grid.lock(); }
    bool hasOwningGrid() const { return !m_grid.expired(); }
    Ref<LGridLayerContent> owningContentPane() const;
    void bringToFront();
    void sendToBack();
    void removeFromContent() { removeFromSuperview(); }
    bool isInFirstRowOfOwnSection() const;
    bool isInLastRowOfOwnSection() const;
    bool isInLastSection() const;
    bool isInFirstUncollapsedSection() const;
    bool isInLastUncollapsedSection() const;
    bool isInFirstRowOfFirstUncollapsedSection() const;
    bool isInLastRowOfLastSection() const;
    bool isInLastRowOfLastUncollapsedSection() const;

    // Geometry.
    void setFrame(CGRect frame) override;
    CGRect insetFrame(CGRect rect) const;
    virtual CGRect contentFrame() const;
    bool fitSubviewsToView() const { return m_fitSubviewsToView; }
    void setFitSubviewsToView(bool v) { m_fitSubviewsToView = v; }
    void setCenterPinMovement(CGPoint center, bool pin);
    void adjustYPositionOfCentreBy(float delta);
    bool isCollapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);
    float previousAlpha() const { return m_previousAlpha; }
    void pulse();
    bool verticallyFrozen() const { return m_verticallyFrozen; }
    void setVerticallyFrozen(bool v) { m_verticallyFrozen = v; }
    bool horizontallyFrozen() const { return m_horizontallyFrozen; }
    void setHorizontallyFrozen(bool v) { m_horizontallyFrozen = v; }

    // Shadows: sides 0 top, 1 bottom, 2 left, 3 right.
    void showShadows(bool show);
    void shadeIfFrozen();
    void addShadowOnSide(int32_t side);
    void removeShadowOnSide(int32_t side);
    const Ref<LGridShadow>& shadowOnSide(int32_t side) const { return m_shadowViews.at(static_cast<size_t>(side)); }
    void addShadowsForDrag();
    int32_t currentDragDirection() const { return m_currentDragDirection; }
    void setCurrentDragDirection(int32_t direction);
    bool beingDragged() const { return m_currentDragDirection == 1 || m_currentDragDirection == 2; }

    const Ref<LGridCellBorder>& border() const { return m_border; }

protected:
    void initialiseCell(const std::string& reuseIdentifier);

private:
    void removeAllShadows();

    bool m_selected { false };
    Weak<LatticeGrid> m_grid;
    Weak<LGridLayer> m_owningLayer;
    bool m_horizontallyFrozen { false };
    bool m_verticallyFrozen { false };
    bool m_useOwnBackgroundColor { false };
    Ref<LGridCellStyle> m_deselectedStyle;
    float m_previousAlpha { 1 };
    bool m_collapsed { false };
    std::array<Ref<LGridShadow>, 4> m_shadowViews;
    int32_t m_currentDragDirection { 0 };
    bool m_fitSubviewsToView { true };
    Ref<LGridCoord> m_gridCoord;
    std::string m_reuseIdentifier;
    Ref<LGridCellStyle> m_selectedStyle;
    Ref<LGridCellBorder> m_border;
};
