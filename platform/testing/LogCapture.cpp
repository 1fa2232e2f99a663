#include "testing/LogCapture.h"

#include <algorithm>

LogCapture::LogCapture()
    : m_storage(std::make_shared<Storage>())
{
    // The sink holds the storage itself, so a message logged while the capture is being
    // destroyed on another thread still has somewhere to go.
    m_previous = setNSLogSink([storage = m_storage](const std::string& message) {
        std::lock_guard lock(storage->lock);
        storage->messages.push_back(message);
    });
}

LogCapture::~LogCapture()
{
    setNSLogSink(std::move(m_previous));
}

std::vector<std::string> LogCapture::messages() const
{
    std::lock_guard lock(m_storage->lock);
    return m_storage->messages;
}

bool LogCapture::contains(const std::string& message) const
{
    std::lock_guard lock(m_storage->lock);
    return std::find(m_storage->messages.begin(), m_storage->messages.end(), message) != m_storage->messages.end();
}

void LogCapture::clear()
{
    std::lock_guard lock(m_storage->lock);
    m_storage->messages.clear();
}
