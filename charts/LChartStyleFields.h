#pragma once

// Field declarations shared by the chart's style classes. An object field is unset while null
// (nil); a flagged scalar has a companion "Set" flag that its setter raises. See
// LChartAxisStyle.h for the supplement rule these support.

#include "foundation/Value.h"

#include <memory>
#include <vector>

namespace LChartStyleFields {

template <typename T> bool isUnset(const std::shared_ptr<T>& value)
{
    return !value;
}

inline bool isUnset(const Value& value)
{
    return value.isNil();
}

template <typename T> bool isUnset(const std::vector<T>&)
{
    return false;
}

} // namespace LChartStyleFields

// An object field with a plain getter and setter.
#define VX_STYLE_OBJECT(Type, name, Name)                                                                              \
public:                                                                                                                \
    const Type& name() const                                                                                           \
    {                                                                                                                  \
        return m_##name;                                                                                               \
    }                                                                                                                  \
    void set##Name(const Type& value)                                                                                  \
    {                                                                                                                  \
        m_##name = value;                                                                                              \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    Type m_##name {};

// A scalar whose setter raises its flag; the flag is a read-write property of its own.
#define VX_STYLE_FLAGGED(Type, name, Name, Flag)                                                                       \
public:                                                                                                                \
    Type name() const                                                                                                  \
    {                                                                                                                  \
        return m_##name;                                                                                               \
    }                                                                                                                  \
    void set##Name(Type value)                                                                                         \
    {                                                                                                                  \
        m_##name = value;                                                                                              \
        m_##name##Flag = true;                                                                                         \
    }                                                                                                                  \
    bool name##Flag() const                                                                                            \
    {                                                                                                                  \
        return m_##name##Flag;                                                                                         \
    }                                                                                                                  \
    void set##Name##Flag(bool flag)                                                                                    \
    {                                                                                                                  \
        m_##name##Flag = flag;                                                                                         \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    Type m_##name {};                                                                                                  \
    bool m_##name##Flag { false };

// A scalar without a flag.
#define VX_STYLE_PLAIN(Type, name, Name)                                                                               \
public:                                                                                                                \
    Type name() const                                                                                                  \
    {                                                                                                                  \
        return m_##name;                                                                                               \
    }                                                                                                                  \
    void set##Name(Type value)                                                                                         \
    {                                                                                                                  \
        m_##name = value;                                                                                              \
    }                                                                                                                  \
                                                                                                                       \
private:                                                                                                               \
    Type m_##name {};

// Supplement steps: an unset object field takes the other's value through the setter; a
// flagged scalar whose flag is down takes the other's value and keeps its flag down.
#define VX_SUPPLEMENT_OBJECT(other, name, Name)                                                                        \
    if (LChartStyleFields::isUnset(name()))                                                                            \
        set##Name((other).name());
#define VX_SUPPLEMENT_FLAGGED(other, name, Name, Flag)                                                                 \
    if (!name##Flag()) {                                                                                               \
        set##Name((other).name());                                                                                     \
        set##Name##Flag(false);                                                                                        \
    }
