#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

class LChartAxis;
class NSDateFormatter;
class NSNumberFormatter;

// Turns tick values into label texts through one platform formatter: a number formatter for
// number axes, a date formatter for date axes. Main thread only.
class LChartTickLabelFormatter final : public NSObject {
    VX_OBJECT(LChartTickLabelFormatter, NSObject)
public:
    explicit LChartTickLabelFormatter(Passkey key)
        : NSObject(key)
    {
    }
    // Holding a decimal-style number formatter.
    static Ref<LChartTickLabelFormatter> numberFormatter();
    // Holding an unconfigured date formatter.
    static Ref<LChartTickLabelFormatter> dateFormatter();

    const Ref<NSObject>& formatter() const { return m_formatter; }
    void setFormatter(const Ref<NSObject>& formatter) { m_formatter = formatter; }
    // The held formatter of that kind; otherwise logs "No formatter of type ... found" and nil.
    Ref<NSNumberFormatter> heldNumberFormatter() const;
    Ref<NSDateFormatter> heldDateFormatter() const;

    // The held formatter's text for the value (numbers, or dates as seconds since 1970);
    // nil when it has none.
    Value stringForObjectValueOnAxis(const Value& value, const LChartAxis* axis) const;

private:
    Ref<NSObject> m_formatter;
};
