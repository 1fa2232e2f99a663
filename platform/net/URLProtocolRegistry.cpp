#include "net/URLProtocolRegistry.h"

#include <mutex>
#include <vector>

namespace {

std::mutex& s_lock = *new std::mutex;
std::vector<std::pair<int, Ref<URLProtocolHandler>>>& s_handlers
    = *new std::vector<std::pair<int, Ref<URLProtocolHandler>>>;
int s_nextToken = 1;

} // namespace

namespace URLProtocolRegistry {

int registerHandler(Ref<URLProtocolHandler> handler)
{
    std::lock_guard lock(s_lock);
    int token = s_nextToken++;
    s_handlers.emplace_back(token, std::move(handler));
    return token;
}

void unregisterHandler(int token)
{
    std::lock_guard lock(s_lock);
    std::erase_if(s_handlers, [token](const auto& entry) { return entry.first == token; });
}

Ref<URLProtocolHandler> handlerForRequest(const Ref<NSURLRequest>& request)
{
    std::vector<Ref<URLProtocolHandler>> handlers;
    {
        std::lock_guard lock(s_lock);
        for (auto it = s_handlers.rbegin(); it != s_handlers.rend(); ++it)
            handlers.push_back(it->second);
    }
    // Asked outside the lock: a handler may record the request or consult other state.
    for (const auto& handler : handlers) {
        if (handler->canHandleRequest(request))
            return handler;
    }
    return nullptr;
}

void removeAllForTesting()
{
    std::lock_guard lock(s_lock);
    s_handlers.clear();
}

} // namespace URLProtocolRegistry
