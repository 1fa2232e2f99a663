#pragma once

#include "foundation/NSLog.h"

#include <mutex>
#include <string>
#include <vector>

// Collects every NSLog message (from any thread) while alive, instead of printing it, and puts
// the previous log sink back when destroyed.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The messages so far, in the order they were logged.
    std::vector<std::string> messages() const;
    bool contains(const std::string& message) const;
    void clear();

private:
    struct Storage {
        std::mutex lock;
        std::vector<std::string> messages;
    };
    std::shared_ptr<Storage> m_storage;
    NSLogSink m_previous;
};
