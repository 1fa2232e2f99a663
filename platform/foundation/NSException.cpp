#include "foundation/NSException.h"

#include <atomic>
#include <execinfo.h>
#include <mutex>

namespace {

std::vector<uintptr_t> captureCallStack()
{
    void* frames[128];
    int count = backtrace(frames, 128);
    std::vector<uintptr_t> addresses;
    // Leave out this function and the constructor.
    for (int i = 2; i < count; ++i)
        addresses.push_back(reinterpret_cast<uintptr_t>(frames[i]));
    return addresses;
}

std::atomic<NSUncaughtExceptionHandler> s_uncaughtHandler { nullptr };
std::terminate_handler s_previousTerminate = nullptr;

[[noreturn]] void terminateWithUncaughtHandler()
{
    if (auto current = std::current_exception()) {
        if (auto handler = s_uncaughtHandler.load()) {
            try {
                std::rethrow_exception(current);
            } catch (NSException& exception) {
                handler(exception);
            } catch (...) {
            }
        }
    }
    if (s_previousTerminate)
        s_previousTerminate();
    std::abort();
}

} // namespace

NSException::NSException(std::string name, std::string reason, Value userInfo)
    : m_name(std::move(name))
    , m_reason(std::move(reason))
    , m_userInfo(std::move(userInfo))
    , m_what(m_name + ": " + m_reason)
    , m_callStack(captureCallStack())
{
}

void NSException::raise(std::string name, std::string reason, Value userInfo)
{
    throw NSException(std::move(name), std::move(reason), std::move(userInfo));
}

void NSSetUncaughtExceptionHandler(NSUncaughtExceptionHandler handler)
{
    static std::once_flag s_hooked;
    std::call_once(s_hooked, [] { s_previousTerminate = std::set_terminate(terminateWithUncaughtHandler); });
    s_uncaughtHandler.store(handler);
}

NSUncaughtExceptionHandler NSGetUncaughtExceptionHandler()
{
    return s_uncaughtHandler.load();
}
