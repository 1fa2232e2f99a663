#include "sysconfig/SCNetworkReachability.h"

#include "foundation/NSRunLoop.h"

#include <algorithm>
#include <arpa/inet.h>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <set>
#include <sstream>
#include <sys/socket.h>

VX_REGISTER_CLASS(SCNetworkReachability);

namespace {

std::mutex& s_lock = *new std::mutex;
SCNetworkReachability::FlagsSource& s_source = *new SCNetworkReachability::FlagsSource;
std::vector<Weak<SCNetworkReachability>>& s_scheduled = *new std::vector<Weak<SCNetworkReachability>>;

bool hasDefaultRoute()
{
    std::ifstream routes("/proc/net/route");
    std::string line;
    std::getline(routes, line); // header
    while (std::getline(routes, line)) {
        std::istringstream fields(line);
        std::string interface, destination;
        fields >> interface >> destination;
        if (destination == "00000000")
            return true;
    }
    return false;
}

bool hasActiveInterface()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return false;
    bool found = false;
    for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !(entry->ifa_flags & IFF_UP) || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        if (entry->ifa_addr->sa_family == AF_INET || entry->ifa_addr->sa_family == AF_INET6)
            found = true;
    }
    freeifaddrs(list);
    return found;
}

bool isLoopback(const std::string& text)
{
    return text == "localhost" || text.rfind("127.", 0) == 0 || text == "::1";
}

// The machine's view: loopback targets are always reachable and direct; others need an active
// interface and a default route.
std::optional<SCNetworkReachabilityFlags> machineFlags(const SCNetworkReachability::Target& target)
{
    std::string name = target.hostName.value_or(target.address.value_or(""));
    if (isLoopback(name))
        return kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsLocalAddress
            | kSCNetworkReachabilityFlagsIsDirect;
    if (hasActiveInterface() && hasDefaultRoute())
        return kSCNetworkReachabilityFlagsReachable;
    return SCNetworkReachabilityFlags(0);
}

} // namespace

SCNetworkReachability::~SCNetworkReachability()
{
    if (m_context.release && m_context.info)
        m_context.release(m_context.info);
}

Ref<SCNetworkReachability> SCNetworkReachability::create(Target target)
{
    return make<SCNetworkReachability>(std::move(target));
}

std::optional<SCNetworkReachabilityFlags> SCNetworkReachability::currentFlags() const
{
    FlagsSource source;
    {
        std::lock_guard lock(s_lock);
        source = s_source;
    }
    return source ? source(m_target) : machineFlags(m_target);
}

bool SCNetworkReachability::setCallback(
    SCNetworkReachabilityCallBack callback, const SCNetworkReachabilityContext* context)
{
    SCNetworkReachabilityContext old;
    {
        std::lock_guard lock(m_lock);
        old = m_context;
        m_callback = callback;
        m_context = context ? *context : SCNetworkReachabilityContext {};
        if (m_context.retain && m_context.info)
            m_context.info = const_cast<void*>(m_context.retain(m_context.info));
    }
    if (old.release && old.info)
        old.release(old.info);
    return true;
}

bool SCNetworkReachability::schedule(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    if (!runLoop)
        return false;
    {
        std::lock_guard lock(m_lock);
        for (const auto& [loop, existing] : m_schedules) {
            if (loop.lock() == runLoop && existing == mode)
                return true;
        }
        m_schedules.emplace_back(runLoop, mode);
        m_lastFlags = currentFlags();
    }
    std::lock_guard lock(s_lock);
    s_scheduled.push_back(self<SCNetworkReachability>());
    return true;
}

bool SCNetworkReachability::unschedule(const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    std::lock_guard lock(m_lock);
    auto before = m_schedules.size();
    std::erase_if(
        m_schedules, [&](const auto& entry) { return entry.first.lock() == runLoop && entry.second == mode; });
    return m_schedules.size() != before;
}

void SCNetworkReachability::check()
{
    auto flags = currentFlags();
    Ref<NSRunLoop> loop;
    std::vector<std::string> modes;
    {
        std::lock_guard lock(m_lock);
        if (flags == m_lastFlags || m_schedules.empty() || !m_callback)
            return;
        m_lastFlags = flags;
        for (const auto& [weakLoop, mode] : m_schedules) {
            auto candidate = weakLoop.lock();
            if (candidate && (!loop || candidate == loop)) {
                loop = candidate;
                modes.push_back(mode);
            }
        }
    }
    if (!loop)
        return;
    loop->performInModesBlock(modes, [weak = weak_from_this(), value = flags.value_or(0)] {
        auto self = std::static_pointer_cast<SCNetworkReachability>(weak.lock());
        if (!self)
            return;
        SCNetworkReachabilityCallBack callback;
        void* info;
        {
            std::lock_guard lock(self->m_lock);
            if (self->m_schedules.empty())
                return;
            callback = self->m_callback;
            info = self->m_context.info;
        }
        if (callback)
            callback(self, value, info);
    });
}

void SCNetworkReachability::setFlagsSourceForTesting(FlagsSource source)
{
    {
        std::lock_guard lock(s_lock);
        s_source = std::move(source);
    }
    flagsMayHaveChanged();
}

void SCNetworkReachability::flagsMayHaveChanged()
{
    std::vector<Ref<SCNetworkReachability>> targets;
    {
        std::lock_guard lock(s_lock);
        std::erase_if(s_scheduled, [](const auto& weak) { return weak.expired(); });
        for (const auto& weak : s_scheduled) {
            if (auto target = weak.lock())
                targets.push_back(target);
        }
    }
    for (const auto& target : targets)
        target->check();
}

SCNetworkReachabilityRef SCNetworkReachabilityCreateWithName(const void*, const char* nodename)
{
    if (!nodename || !*nodename)
        return nullptr;
    return SCNetworkReachability::create({ std::string(nodename), std::nullopt });
}

SCNetworkReachabilityRef SCNetworkReachabilityCreateWithAddress(const void*, const sockaddr* address)
{
    if (!address)
        return nullptr;
    char text[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET)
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof(text));
    else if (address->sa_family == AF_INET6)
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof(text));
    else
        return nullptr;
    return SCNetworkReachability::create({ std::nullopt, std::string(text) });
}

bool SCNetworkReachabilityGetFlags(const SCNetworkReachabilityRef& target, SCNetworkReachabilityFlags* flags)
{
    if (!target || !flags)
        return false;
    auto current = target->currentFlags();
    if (!current)
        return false;
    *flags = *current;
    return true;
}

bool SCNetworkReachabilitySetCallback(const SCNetworkReachabilityRef& target, SCNetworkReachabilityCallBack callback,
    const SCNetworkReachabilityContext* context)
{
    return target && target->setCallback(callback, context);
}

bool SCNetworkReachabilityScheduleWithRunLoop(
    const SCNetworkReachabilityRef& target, const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    return target && target->schedule(runLoop, mode);
}

bool SCNetworkReachabilityUnscheduleFromRunLoop(
    const SCNetworkReachabilityRef& target, const Ref<NSRunLoop>& runLoop, const std::string& mode)
{
    return target && target->unschedule(runLoop, mode);
}
