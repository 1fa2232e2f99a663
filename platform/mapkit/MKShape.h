#pragma once

#include "foundation/NSObject.h"
#include "mapkit/MKAnnotation.h"

// An annotation with settable title and subtitle (observable). Subclasses give the coordinate.
// Main thread, or any one thread at a time.
class MKShape : public NSObject, public virtual MKAnnotation {
    VX_OBJECT(MKShape, NSObject)
public:
    explicit MKShape(Passkey key)
        : NSObject(key)
    {
    }

    std::optional<std::string> title() const override { return m_title; }
    void setTitle(std::optional<std::string> title) { setValueNotifying("title", m_title, std::move(title)); }
    std::optional<std::string> subtitle() const override { return m_subtitle; }
    void setSubtitle(std::optional<std::string> subtitle)
    {
        setValueNotifying("subtitle", m_subtitle, std::move(subtitle));
    }

    Value valueForKey(const std::string& key) override;
    void setValueForKey(const Value& value, const std::string& key) override;

private:
    std::optional<std::string> m_title;
    std::optional<std::string> m_subtitle;
};
