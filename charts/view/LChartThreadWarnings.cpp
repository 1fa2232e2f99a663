#include "charts/view/LChartThreadWarnings.h"

#include <array>
#include <atomic>

namespace {

std::array<std::atomic<bool>, 3> g_warned {};

} // namespace

bool LChartThreadWarningIsDue(LChartThreadWarning warning)
{
    return !g_warned[static_cast<size_t>(warning)].exchange(true);
}

void LChartResetThreadWarningsForTesting()
{
    for (auto& warned : g_warned)
        warned.store(false);
}
