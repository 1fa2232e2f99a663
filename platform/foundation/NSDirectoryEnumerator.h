#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"

#include <string>
#include <vector>

// Walks a directory tree depth first: each directory's entries in name order, a directory
// before its contents. Symbolic links are listed but not followed. Made by
// NSFileManager::enumeratorAtPath. One thread at a time.
class NSDirectoryEnumerator : public NSObject {
    VX_OBJECT(NSDirectoryEnumerator, NSObject)
public:
    NSDirectoryEnumerator(Passkey key, std::string root);

    static Ref<NSDirectoryEnumerator> initWithPath(std::string root);

    // The next entry as a path relative to the root, nil when the walk is over.
    Value nextObject();
    // Attributes of the entry nextObject last answered (as attributesOfItemAtPath gives them).
    Value fileAttributes() const;
    // Attributes of the root directory.
    Value directoryAttributes() const;
    // Does not descend into the directory nextObject last answered.
    void skipDescendants();
    // Depth of the last entry: 1 for entries directly in the root.
    uint32_t level() const { return m_level; }

private:
    struct Frame {
        std::string relativeDirectory; // "" for the root
        std::vector<std::string> names;
        size_t next { 0 };
    };
    bool pushDirectory(const std::string& relativeDirectory);

    std::string m_root;
    std::vector<Frame> m_stack;
    std::string m_current;
    Value m_currentAttributes;
    bool m_currentIsDirectory { false };
    uint32_t m_level { 0 };
};
