#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/NSIndexPath.h"

#include <string>

enum UICollectionElementCategory : int32_t {
    UICollectionElementCategoryCell = 0,
    UICollectionElementCategorySupplementaryView = 1,
};

inline constexpr const char* UICollectionElementKindSectionHeader = "UICollectionElementKindSectionHeader";
inline constexpr const char* UICollectionElementKindSectionFooter = "UICollectionElementKindSectionFooter";

// Where a layout puts one cell or supplementary view. Main thread only.
class UICollectionViewLayoutAttributes : public NSObject {
    VX_OBJECT(UICollectionViewLayoutAttributes, NSObject)
public:
    explicit UICollectionViewLayoutAttributes(Passkey key)
        : NSObject(key)
    {
    }
    static Ref<UICollectionViewLayoutAttributes> layoutAttributesForCellWithIndexPath(
        const Ref<NSIndexPath>& indexPath);
    static Ref<UICollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKindWithIndexPath(
        const std::string& kind, const Ref<NSIndexPath>& indexPath);

    const Ref<NSIndexPath>& indexPath() const { return m_indexPath; }
    UICollectionElementCategory representedElementCategory() const { return m_category; }
    // Empty for cells.
    const std::string& representedElementKind() const { return m_kind; }
    CGRect frame() const { return m_frame; }
    void setFrame(CGRect frame) { m_frame = frame; }
    CGPoint center() const { return CGPointMake(CGRectGetMidX(m_frame), CGRectGetMidY(m_frame)); }
    CGSize size() const { return m_frame.size; }
    CGFloat alpha() const { return m_alpha; }
    void setAlpha(CGFloat alpha) { m_alpha = alpha; }
    int32_t zIndex() const { return m_zIndex; }
    void setZIndex(int32_t z) { m_zIndex = z; }
    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }

private:
    Ref<NSIndexPath> m_indexPath;
    UICollectionElementCategory m_category { UICollectionElementCategoryCell };
    std::string m_kind;
    CGRect m_frame {};
    CGFloat m_alpha { 1 };
    int32_t m_zIndex { 0 };
    bool m_hidden { false };
};
