#pragma once

#include "foundation/NSObject.h"
#include "graphics/UIGeometry.h"

#include <string>

class UIImage;

// What bar items share: a title, an image, a tag and whether the item is enabled. Main thread only.
class UIBarItem : public NSObject {
    VX_OBJECT(UIBarItem, NSObject)
public:
    explicit UIBarItem(Passkey key)
        : NSObject(key)
    {
    }

    const std::string& title() const { return m_title; }
    virtual void setTitle(const std::string& title) { m_title = title; }
    const Ref<UIImage>& image() const { return m_image; }
    virtual void setImage(const Ref<UIImage>& image) { m_image = image; }
    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) { m_enabled = enabled; }
    int32_t tag() const { return m_tag; }
    void setTag(int32_t tag) { m_tag = tag; }
    UIEdgeInsets imageInsets() const { return m_imageInsets; }
    void setImageInsets(UIEdgeInsets insets) { m_imageInsets = insets; }

private:
    std::string m_title;
    Ref<UIImage> m_image;
    UIEdgeInsets m_imageInsets {};
    int32_t m_tag { 0 };
    bool m_enabled { true };
};
