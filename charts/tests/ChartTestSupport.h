#pragma once

#include "charts/LatticeChartLog.h"
#include "testing/ScopedScreenScale.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

// Thrown instead of aborting while a FatalErrorsThrow is alive; what() is the logged text.
struct ChartFatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Makes the chart library's fatal errors throw ChartFatalError for the scope's life.
class FatalErrorsThrow {
public:
    FatalErrorsThrow()
    {
        LatticeChartLog::setFatalHookForTesting([](const std::string& text) { throw ChartFatalError(text); });
    }
    ~FatalErrorsThrow() { LatticeChartLog::setFatalHookForTesting({}); }
    FatalErrorsThrow(const FatalErrorsThrow&) = delete;
    FatalErrorsThrow& operator=(const FatalErrorsThrow&) = delete;
};

// Bounds the time of the scope it lives in. Chart drawing must run on the main thread, so the
// work stays on the test's thread and a watchdog thread waits for the scope to end; past the
// limit it reports what hung and ends the process with a failure, rather than letting a pass
// that never ends hold up the suite.
class HangGuard {
public:
    HangGuard(std::chrono::seconds limit, std::string what)
        : m_what(std::move(what))
        , m_watchdog([this, limit] {
            std::unique_lock lock(m_lock);
            if (!m_ended.wait_for(lock, limit, [this] { return m_done; })) {
                std::fprintf(stderr, "FAILED: %s did not end within %lld s\n", m_what.c_str(),
                    static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(1);
            }
        })
    {
    }
    ~HangGuard()
    {
        {
            std::lock_guard lock(m_lock);
            m_done = true;
        }
        m_ended.notify_all();
        m_watchdog.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    std::string m_what;
    std::mutex m_lock;
    std::condition_variable m_ended;
    bool m_done { false };
    std::thread m_watchdog;
};
