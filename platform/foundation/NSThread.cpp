#include "foundation/NSThread.h"

#include "foundation/AlternateSignalStack.h"
#include "foundation/Clock.h"
#include "foundation/DispatchWork.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

thread_local Ref<NSThread> t_thread;

} // namespace

NSThread::NSThread(Passkey key, std::function<void()> block, bool isMain)
    : NSObject(key)
    , m_block(std::move(block))
    , m_dictionary(Value::mutableDictionary())
    , m_runLoop(isMain ? NSRunLoop::mainRunLoop() : nullptr)
    , m_isMain(isMain)
{
}

Ref<NSThread> NSThread::initWithBlock(std::function<void()> block)
{
    auto thread = make<NSThread>(std::move(block), false);
    thread->m_runLoop = NSObject::make<NSRunLoop>(false);
    return thread;
}

Ref<NSThread> NSThread::detachNewThreadWithBlock(std::function<void()> block)
{
    auto thread = initWithBlock(std::move(block));
    thread->start();
    return thread;
}

void NSThread::start()
{
    if (m_isMain || m_started.exchange(true))
        return;
    m_executing = true;
    // Counted as queued work from here, so a drain started right after start() waits for it.
    DispatchWork::queuedJobAdded();
    auto self = this->self<NSThread>();
    std::thread([self] {
        AlternateSignalStack signalStack;
        DispatchWork::TrackedScope tracked;
        DispatchWork::queuedJobTaken();
        t_thread = self;
        NSRunLoop::bindToCurrentThread(self->m_runLoop);
        if (std::string name = self->m_name.get(); !name.empty())
            pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
        std::function<void()> block = self->m_block.exchange(nullptr);
        if (block)
            block();
        block = nullptr;
        self->m_executing = false;
        self->m_finished = true;
        NSRunLoop::bindToCurrentThread(nullptr);
        t_thread = nullptr;
    }).detach();
}

void NSThread::cancel()
{
    m_cancelled = true;
}

std::string NSThread::name() const
{
    return m_name.get();
}

void NSThread::setName(const std::string& name)
{
    m_name.set(name);
    if (t_thread.get() == this)
        pthread_setname_np(pthread_self(), name.substr(0, 15).c_str());
}

bool NSThread::isMainThread()
{
    return static_cast<pid_t>(syscall(SYS_gettid)) == getpid();
}

Ref<NSThread> NSThread::mainThread()
{
    static Ref<NSThread> s_main = make<NSThread>(nullptr, true);
    return s_main;
}

Ref<NSThread> NSThread::adoptCurrent()
{
    auto thread = make<NSThread>(nullptr, false);
    thread->m_runLoop = NSRunLoop::currentRunLoop();
    thread->m_started = true;
    thread->m_executing = true;
    return thread;
}

Ref<NSThread> NSThread::currentThread()
{
    if (isMainThread())
        return mainThread();
    if (!t_thread)
        t_thread = adoptCurrent();
    return t_thread;
}

void NSThread::sleepUntilDate(double secondsSince1970)
{
    double deadline = Clock::mediaTime() + (secondsSince1970 - Clock::wallTime());
    if (isMainThread() && Clock::isVirtual())
        return;
    std::mutex lock;
    std::condition_variable cv;
    std::unique_lock guard(lock);
    while (!Clock::waitOnce(guard, cv, deadline)) { }
}

void NSThread::sleepForTimeInterval(NSTimeInterval interval)
{
    if (interval <= 0)
        return;
    sleepUntilDate(Clock::wallTime() + interval);
}

Value NSThread::threadDictionary()
{
    return m_dictionary;
}

namespace {

void performOn(const Ref<NSRunLoop>& loop, bool targetIsCurrent, std::function<void()> block, bool waitUntilDone,
    const std::vector<std::string>& modes)
{
    if (!loop || !block)
        return;
    if (waitUntilDone && targetIsCurrent) {
        block();
        return;
    }
    if (!waitUntilDone) {
        loop->performInModesBlock(modes, std::move(block));
        return;
    }
    struct Completion {
        std::mutex lock;
        std::condition_variable cv;
        bool done = false;
    };
    auto completion = std::make_shared<Completion>();
    loop->performInModesBlock(modes, [completion, block = std::move(block)] {
        block();
        std::lock_guard guard(completion->lock);
        completion->done = true;
        Clock::wake(completion->cv);
    });
    std::unique_lock guard(completion->lock);
    Clock::waitUntil(guard, completion->cv, Clock::distantFuture, [&] { return completion->done; });
}

} // namespace

void performSelectorOnMainThread(
    std::function<void()> selector, bool waitUntilDone, const std::vector<std::string>& modes)
{
    performOn(NSRunLoop::mainRunLoop(), NSThread::isMainThread(), std::move(selector), waitUntilDone, modes);
}

void performSelectorOnThread(const Ref<NSThread>& thread, std::function<void()> selector, bool waitUntilDone,
    const std::vector<std::string>& modes)
{
    // A finished thread never runs its loop again: waiting for it would never end.
    if (!thread || thread->isFinished())
        return;
    performOn(thread->runLoop(), NSThread::currentThread() == thread, std::move(selector), waitUntilDone, modes);
}

void performSelectorInBackground(std::function<void()> selector)
{
    NSThread::detachNewThreadWithBlock(std::move(selector));
}

VX_REGISTER_CLASS(NSThread);
