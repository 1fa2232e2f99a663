#pragma once

#include "foundation/Locked.h"
#include "foundation/NSObject.h"
#include "foundation/NSRunLoop.h"
#include "foundation/Value.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// A thread of execution with its own run loop. The main thread is the process's initial
// thread. Threads made by the dispatch pool get an NSThread object on first use. The object
// is kept alive while its thread runs. Any thread, except threadDictionary (its own thread).
class NSThread : public NSObject {
    VX_OBJECT(NSThread, NSObject)

public:
    NSThread(Passkey, std::function<void()> block, bool isMain);

    static Ref<NSThread> detachNewThreadWithBlock(std::function<void()> block);
    static Ref<NSThread> initWithBlock(std::function<void()> block);
    // Starts the thread; calling it again does nothing.
    void start();
    void cancel();
    bool isCancelled() const { return m_cancelled; }
    bool isExecuting() const { return m_executing; }
    bool isFinished() const { return m_finished; }

    std::string name() const;
    // Also names the system thread (first 15 bytes) when called on the thread itself.
    void setName(const std::string& name);

    static bool isMainThread();
    // Whether this object is the main thread (the instance form of isMainThread).
    bool isMain() const { return m_isMain; }
    static Ref<NSThread> currentThread();
    static Ref<NSThread> mainThread();

    // Sleeps on the process clock: with a virtual clock a worker thread wakes when the clock is
    // moved past the time. On the main thread a virtual clock cannot move while it sleeps, so
    // there the call returns at once.
    static void sleepForTimeInterval(NSTimeInterval interval);
    static void sleepUntilDate(double secondsSince1970);

    // A mutable dictionary private to the thread.
    Value threadDictionary();

    // The thread's run loop (made with the thread, so work can be queued before it starts).
    Ref<NSRunLoop> runLoop() const { return m_runLoop; }

private:
    static Ref<NSThread> adoptCurrent();

    Locked<std::function<void()>> m_block; // taken by the thread when it starts
    Locked<std::string> m_name;
    Value m_dictionary;
    Ref<NSRunLoop> m_runLoop;
    const bool m_isMain;
    std::atomic<bool> m_started { false };
    std::atomic<bool> m_executing { false };
    std::atomic<bool> m_finished { false };
    std::atomic<bool> m_cancelled { false };
};

// The platform's thread performs. The block runs on the target thread's run loop in one of
// `modes`. With waitUntilDone the caller blocks until it has run; when the caller is already
// the target thread the block runs at once instead. A block sent to a finished thread is
// dropped (and not waited for).
void performSelectorOnMainThread(std::function<void()> selector, bool waitUntilDone,
    const std::vector<std::string>& modes = { NSRunLoopCommonModes });
void performSelectorOnThread(const Ref<NSThread>& thread, std::function<void()> selector, bool waitUntilDone,
    const std::vector<std::string>& modes = { NSRunLoopCommonModes });
// Runs the block on a new thread.
void performSelectorInBackground(std::function<void()> selector);
