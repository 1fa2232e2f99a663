#pragma once

#include "uikit/UIView.h"

#include <string>

class UICollectionViewLayoutAttributes;

// A view a collection view keeps for reuse: cells and supplementary views (headers, footers).
// prepareForReuse runs before it is handed out again. Main thread only.
class UICollectionReusableView : public UIView {
    VX_OBJECT(UICollectionReusableView, UIView)
public:
    explicit UICollectionReusableView(Passkey key)
        : UIView(key)
    {
    }
    static Ref<UICollectionReusableView> initWithFrame(CGRect frame)
    {
        return makeView<UICollectionReusableView>(frame);
    }
    static Ref<UICollectionReusableView> init() { return initWithFrame(CGRectZero); }

    const std::string& reuseIdentifier() const { return m_reuseIdentifier; }
    void setReuseIdentifier(const std::string& identifier) { m_reuseIdentifier = identifier; }
    virtual void prepareForReuse() { }
    virtual void applyLayoutAttributes(const Ref<UICollectionViewLayoutAttributes>& attributes);

private:
    std::string m_reuseIdentifier;
};
