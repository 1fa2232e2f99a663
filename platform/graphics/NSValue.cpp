#include "graphics/NSValue.h"

std::string NSValue::description() const
{
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, CGPoint>)
                return "NSPoint: " + NSStringFromCGPoint(v);
            else if constexpr (std::is_same_v<T, CGSize>)
                return "NSSize: " + NSStringFromCGSize(v);
            else if constexpr (std::is_same_v<T, CGRect>)
                return "NSRect: " + NSStringFromCGRect(v);
            else if constexpr (std::is_same_v<T, CGAffineTransform>)
                return "CGAffineTransform: " + NSStringFromCGAffineTransform(v);
            else if constexpr (std::is_same_v<T, CATransform3D>)
                return "CATransform3D: " + NSStringFromCATransform3D(v);
            else if constexpr (std::is_same_v<T, UIEdgeInsets>)
                return "UIEdgeInsets: " + NSStringFromUIEdgeInsets(v);
            else
                return "CGVector: " + NSStringFromCGVector(v);
        },
        m_storage);
}

bool NSValue::isEqual(const NSObject* other) const
{
    auto* value = dynamic_cast<const NSValue*>(other);
    if (!value || value->m_storage.index() != m_storage.index())
        return false;
    return description() == value->description();
}

VX_REGISTER_CLASS(NSValue);
