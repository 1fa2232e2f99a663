#pragma once

#include "charts/LChartTheme.h"

// The library's process-wide settings: the default theme that new chart views copy. Main
// thread only, except that the shared instance is created once under a once-only guard.
class LatticeCharts final : public NSObject {
    VX_OBJECT(LatticeCharts, NSObject)
public:
    explicit LatticeCharts(Passkey key)
        : NSObject(key)
    {
    }
    // The iOS 7 look from system version "7.0" on (numeric comparison), the light look before.
    static Ref<LatticeCharts> init();
    static Ref<LatticeCharts> sharedInstance();
    static Ref<LChartTheme> theme() { return sharedInstance()->m_theme; }
    static void setTheme(const Ref<LChartTheme>& theme) { sharedInstance()->m_theme = theme; }
    const Ref<LChartTheme>& instanceTheme() const { return m_theme; }
    // Test-only: forgets the shared instance so the next call makes a new one.
    static void resetSharedInstanceForTesting();

private:
    Ref<LChartTheme> m_theme;
};
