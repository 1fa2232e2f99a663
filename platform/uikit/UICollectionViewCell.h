#pragma once

#include "uikit/UICollectionReusableView.h"

// One item of a collection view. Subviews go in contentView, above the background views; the
// selected background shows while the cell is selected or highlighted. Main thread only.
class UICollectionViewCell : public UICollectionReusableView {
    VX_OBJECT(UICollectionViewCell, UICollectionReusableView)
public:
    explicit UICollectionViewCell(Passkey key)
        : UICollectionReusableView(key)
    {
    }
    static Ref<UICollectionViewCell> initWithFrame(CGRect frame) { return makeCell<UICollectionViewCell>(frame); }
    static Ref<UICollectionViewCell> init() { return initWithFrame(CGRectMake(0, 0, 50, 50)); }

    const Ref<UIView>& contentView() const { return m_contentView; }
    const Ref<UIView>& backgroundView() const { return m_backgroundView; }
    void setBackgroundView(const Ref<UIView>& view);
    const Ref<UIView>& selectedBackgroundView() const { return m_selectedBackgroundView; }
    void setSelectedBackgroundView(const Ref<UIView>& view);
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted);

    void prepareForReuse() override;
    void layoutSubviews() override;

protected:
    template <typename T> static Ref<T> makeCell(CGRect frame)
    {
        auto cell = makeView<T>(frame);
        cell->setUpCell();
        return cell;
    }
    void setUpCell();

private:
    void updateBackground();

    Ref<UIView> m_contentView;
    Ref<UIView> m_backgroundView;
    Ref<UIView> m_selectedBackgroundView;
    bool m_selected { false };
    bool m_highlighted { false };
};
