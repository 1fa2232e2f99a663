#pragma once

#include "graphics/UIGeometry.h"
#include "uikit/UIControl.h"

#include <map>
#include <string>

class UIImage;
class UIImageView;
class UILabel;

enum UIButtonType : int32_t {
    UIButtonTypeCustom = 0,
    UIButtonTypeSystem = 1,
    UIButtonTypeDetailDisclosure = 2,
    UIButtonTypeInfoLight = 3,
    UIButtonTypeInfoDark = 4,
    UIButtonTypeContactAdd = 5,
    UIButtonTypeRoundedRect = UIButtonTypeSystem,
};

// A control showing a title and an image over a background image, each chosen per state (the
// normal state's value stands in for a state that has none; setting no image for a state
// removes that state's image). Subclasses make instances with `makeButton<T>(type, frame)`.
// Main thread only.
class UIButton : public UIControl {
    VX_OBJECT(UIButton, UIControl)
public:
    explicit UIButton(Passkey key)
        : UIControl(key)
    {
    }
    static Ref<UIButton> buttonWithType(UIButtonType type);
    static Ref<UIButton> initWithFrame(CGRect frame);

    UIButtonType buttonType() const { return m_type; }

    void setTitleForState(const std::string& title, UIControlState state);
    std::string titleForState(UIControlState state) const;
    void setTitleColorForState(const Ref<UIColor>& color, UIControlState state);
    Ref<UIColor> titleColorForState(UIControlState state) const;
    void setImageForState(const Ref<UIImage>& image, UIControlState state);
    Ref<UIImage> imageForState(UIControlState state) const;
    void setBackgroundImageForState(const Ref<UIImage>& image, UIControlState state);
    Ref<UIImage> backgroundImageForState(UIControlState state) const;

    std::string currentTitle() const { return titleForState(state()); }
    Ref<UIColor> currentTitleColor() const { return titleColorForState(state()); }
    Ref<UIImage> currentImage() const { return imageForState(state()); }
    Ref<UIImage> currentBackgroundImage() const { return backgroundImageForState(state()); }

    const Ref<UILabel>& titleLabel() const { return m_titleLabel; }
    const Ref<UIImageView>& imageView() const { return m_imageView; }

    UIEdgeInsets contentEdgeInsets() const { return m_contentEdgeInsets; }
    void setContentEdgeInsets(UIEdgeInsets insets)
    {
        m_contentEdgeInsets = insets;
        setNeedsLayout();
    }
    UIEdgeInsets titleEdgeInsets() const { return m_titleEdgeInsets; }
    void setTitleEdgeInsets(UIEdgeInsets insets)
    {
        m_titleEdgeInsets = insets;
        setNeedsLayout();
    }
    UIEdgeInsets imageEdgeInsets() const { return m_imageEdgeInsets; }
    void setImageEdgeInsets(UIEdgeInsets insets)
    {
        m_imageEdgeInsets = insets;
        setNeedsLayout();
    }
    bool adjustsImageWhenHighlighted() const { return m_adjustsImageWhenHighlighted; }
    void setAdjustsImageWhenHighlighted(bool v) { m_adjustsImageWhenHighlighted = v; }
    bool showsTouchWhenHighlighted() const { return m_showsTouchWhenHighlighted; }
    void setShowsTouchWhenHighlighted(bool v) { m_showsTouchWhenHighlighted = v; }

    void setEnabled(bool enabled) override;
    void setSelected(bool selected) override;
    void setHighlighted(bool highlighted) override;
    void layoutSubviews() override;
    CGSize sizeThatFits(CGSize size) const override;

protected:
    // Makes a button of the given type (and so of a subclass) with its title, image and
    // background views in place.
    template <typename T> static Ref<T> makeButton(UIButtonType type, CGRect frame = CGRectZero)
    {
        auto button = makeView<T>(frame);
        button->initButton(type);
        return button;
    }
    void initButton(UIButtonType type);

private:
    template <typename T> static T lookup(const std::map<UIControlState, T>& table, UIControlState state)
    {
        if (auto it = table.find(state); it != table.end())
            return it->second;
        if (auto it = table.find(UIControlStateNormal); it != table.end())
            return it->second;
        return T {};
    }
    void updateContent();

    UIButtonType m_type { UIButtonTypeCustom };
    std::map<UIControlState, std::string> m_titles;
    std::map<UIControlState, Ref<UIColor>> m_titleColors;
    std::map<UIControlState, Ref<UIImage>> m_images;
    std::map<UIControlState, Ref<UIImage>> m_backgroundImages;
    Ref<UILabel> m_titleLabel;
    Ref<UIImageView> m_imageView;
    Ref<UIImageView> m_backgroundView;
    UIEdgeInsets m_contentEdgeInsets {};
    UIEdgeInsets m_titleEdgeInsets {};
    UIEdgeInsets m_imageEdgeInsets {};
    bool m_adjustsImageWhenHighlighted { true };
    bool m_showsTouchWhenHighlighted { false };
};
