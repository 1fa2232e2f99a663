#include "charts/LatticeCharts.h"

#include "charts/LChartLightTheme.h"
#include "charts/LChartiOS7Theme.h"

#include <mutex>

namespace {

std::mutex s_sharedLock;
Ref<LatticeCharts> s_shared;

} // namespace

Ref<LatticeCharts> LatticeCharts::init()
{
    auto settings = make<LatticeCharts>();
    if (LChartTheme::systemVersionIsAtLeast7())
        settings->m_theme = LChartiOS7Theme::init();
    else
        settings->m_theme = LChartLightTheme::init();
    return settings;
}

Ref<LatticeCharts> LatticeCharts::sharedInstance()
{
    std::lock_guard guard(s_sharedLock);
    if (!s_shared)
        s_shared = init();
    return s_shared;
}

void LatticeCharts::resetSharedInstanceForTesting()
{
    std::lock_guard guard(s_sharedLock);
    s_shared = nullptr;
}
