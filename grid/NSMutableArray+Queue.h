#pragma once

#include <deque>
#include <optional>
#include <utility>

// First-in-first-out use of a list: enqueue at the end, dequeue from the front.
namespace NSMutableArray_Queue {

template <typename T, typename U> void enqueue(std::deque<T>& queue, U&& object)
{
    queue.push_back(std::forward<U>(object));
}

// The oldest element, removed from the list; nothing when the list is empty.
template <typename T> std::optional<T> dequeue(std::deque<T>& queue)
{
    if (queue.empty())
        return std::nullopt;
    T first = std::move(queue.front());
    queue.pop_front();
    return first;
}

} // namespace NSMutableArray_Queue
