#pragma once

#include <algorithm>
#include <memory>
#include <vector>

// Whether `array` holds that very object (the same reference, not merely an equal one).
template <typename T, typename U>
bool containsObjectIdenticalTo(const std::vector<std::shared_ptr<T>>& array, const U* object)
{
    return std::any_of(array.begin(), array.end(), [object](const std::shared_ptr<T>& element) {
        return static_cast<const void*>(element.get()) == static_cast<const void*>(object);
    });
}
