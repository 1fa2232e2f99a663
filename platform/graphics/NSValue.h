#pragma once

#include "foundation/NSObject.h"
#include "graphics/CATransform3D.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIGeometry.h"

#include <variant>

// A boxed geometry value, so points, sizes, rectangles and transforms can travel where an object
// is expected (animation values, key-value coding). Immutable; any thread.
class NSValue : public NSObject {
    VX_OBJECT(NSValue, NSObject)
public:
    using Storage = std::variant<CGPoint, CGSize, CGRect, CGAffineTransform, CATransform3D, UIEdgeInsets, CGVector>;
    NSValue(Passkey key, Storage storage)
        : NSObject(key)
        , m_storage(storage)
    {
    }

    static Ref<NSValue> valueWithCGPoint(CGPoint v) { return make<NSValue>(v); }
    static Ref<NSValue> valueWithCGSize(CGSize v) { return make<NSValue>(v); }
    static Ref<NSValue> valueWithCGRect(CGRect v) { return make<NSValue>(v); }
    static Ref<NSValue> valueWithCGAffineTransform(CGAffineTransform v) { return make<NSValue>(v); }
    static Ref<NSValue> valueWithCATransform3D(const CATransform3D& v) { return make<NSValue>(v); }
    static Ref<NSValue> valueWithUIEdgeInsets(UIEdgeInsets v) { return make<NSValue>(v); }
    static Ref<NSValue> valueWithCGVector(CGVector v) { return make<NSValue>(v); }

    // Zero values when the box holds another type.
    CGPoint CGPointValue() const { return get<CGPoint>(); }
    CGSize CGSizeValue() const { return get<CGSize>(); }
    CGRect CGRectValue() const { return get<CGRect>(); }
    CGAffineTransform CGAffineTransformValue() const { return get<CGAffineTransform>(); }
    CATransform3D CATransform3DValue() const { return get<CATransform3D>(); }
    UIEdgeInsets UIEdgeInsetsValue() const { return get<UIEdgeInsets>(); }
    CGVector CGVectorValue() const { return get<CGVector>(); }
    const Storage& storage() const { return m_storage; }

    std::string description() const override;
    bool isEqual(const NSObject* other) const override;

private:
    template <typename T> T get() const
    {
        if (auto* v = std::get_if<T>(&m_storage))
            return *v;
        return T {};
    }
    Storage m_storage;
};
