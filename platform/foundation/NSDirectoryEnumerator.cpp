#include "foundation/NSDirectoryEnumerator.h"

#include "foundation/NSFileManager.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

NSDirectoryEnumerator::NSDirectoryEnumerator(Passkey key, std::string root)
    : NSObject(key)
    , m_root(std::move(root))
{
    while (m_root.size() > 1 && m_root.back() == '/')
        m_root.pop_back();
}

Ref<NSDirectoryEnumerator> NSDirectoryEnumerator::initWithPath(std::string root)
{
    auto enumerator = make<NSDirectoryEnumerator>(std::move(root));
    if (!enumerator->pushDirectory(""))
        return nullptr;
    return enumerator;
}

bool NSDirectoryEnumerator::pushDirectory(const std::string& relativeDirectory)
{
    std::string full = relativeDirectory.empty() ? m_root : m_root + "/" + relativeDirectory;
    DIR* dir = ::opendir(full.c_str());
    if (!dir)
        return false;
    Frame frame;
    frame.relativeDirectory = relativeDirectory;
    while (dirent* entry = ::readdir(dir)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..")
            frame.names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(frame.names.begin(), frame.names.end());
    m_stack.push_back(std::move(frame));
    return true;
}

Value NSDirectoryEnumerator::nextObject()
{
    // Descend into the directory answered last time, unless skipped.
    if (m_currentIsDirectory) {
        m_currentIsDirectory = false;
        pushDirectory(m_current); // an unreadable directory is listed but not entered
    }
    while (!m_stack.empty()) {
        Frame& top = m_stack.back();
        if (top.next >= top.names.size()) {
            m_stack.pop_back();
            continue;
        }
        const std::string& name = top.names[top.next++];
        m_current = top.relativeDirectory.empty() ? name : top.relativeDirectory + "/" + name;
        m_level = static_cast<uint32_t>(m_stack.size());
        m_currentAttributes
            = NSFileManager::defaultManager()->attributesOfItemAtPath(m_root + "/" + m_current, nullptr);
        m_currentIsDirectory = m_currentAttributes[NSFileType].string() == NSFileTypeDirectory;
        return Value(m_current);
    }
    m_current.clear();
    m_currentAttributes = {};
    m_level = 0;
    return {};
}

Value NSDirectoryEnumerator::fileAttributes() const
{
    return m_currentAttributes;
}

Value NSDirectoryEnumerator::directoryAttributes() const
{
    return NSFileManager::defaultManager()->attributesOfItemAtPath(m_root, nullptr);
}

void NSDirectoryEnumerator::skipDescendants()
{
    m_currentIsDirectory = false;
}
