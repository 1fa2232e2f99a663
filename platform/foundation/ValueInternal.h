#pragma once

// Private to Value's own files: the shared storage of arrays and dictionaries.
// Never include from a public header.

#include "foundation/Value.h"

#include <unordered_map>
#include <utility>
#include <vector>

struct Value::ArrayStorage {
    std::vector<Value> elements;
    bool isMutable { false };
};

struct Value::DictionaryStorage {
    std::vector<std::pair<Value, Value>> entries;
    std::unordered_map<Value, size_t, ValueHash, ValueEqual> index;
    bool isMutable { false };

    void rebuildIndex()
    {
        index.clear();
        for (size_t i = 0; i < entries.size(); ++i)
            index[entries[i].first] = i;
    }
};
