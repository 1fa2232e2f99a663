#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

// The base of every axis of a cartesian chart.
class LChartAxis : public NSObject {
    VX_OBJECT(LChartAxis, NSObject)
public:
    explicit LChartAxis(Passkey key)
        : NSObject(key)
    {
    }

    // Data value ↔ internal value; identity in the base class.
    virtual Value transformValueToInternal(const Value& value) const { return value; }
    virtual Value transformValueToExternal(const Value& value) const { return value; }
};
