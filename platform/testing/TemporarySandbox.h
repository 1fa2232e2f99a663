#pragma once

#include <string>

// Gives a test its own empty sandbox root for its lifetime: makes a fresh temporary directory,
// installs it as the sandbox root and drops the shared user defaults (which belong to the
// old root). The destructor restores the previous root, drops the defaults again and removes
// the directory with everything in it. Main thread, one at a time per scope.
class TemporarySandbox {
public:
    TemporarySandbox();
    ~TemporarySandbox();
    TemporarySandbox(const TemporarySandbox&) = delete;
    TemporarySandbox& operator=(const TemporarySandbox&) = delete;

    const std::string& root() const { return m_root; }
    // A path inside the root: root() + "/" + relative.
    std::string path(const std::string& relative) const { return m_root + "/" + relative; }

private:
    std::string m_root;
    std::string m_previous;
};
