#pragma once

#include <atomic>
#include <new>

// A list that signal handlers can walk without locks or allocation. Writers (on ordinary
// threads) serialise on a spin lock; readers bracket their walk with setReading(true/false)
// and only follow head and next pointers. A node removed while a reader is marked is kept on a
// free list for reuse instead of being freed, so a walking reader never touches freed memory.
// Values are published before their node becomes reachable.
template <typename T> class pmcrash_async_list {
public:
    struct node {
        T value;
        std::atomic<node*> prev { nullptr };
        std::atomic<node*> next { nullptr };
        // Chains nodes on the free list; kept apart from `next` so that a reader standing on a
        // removed node still follows its original successor.
        node* freeNext = nullptr;
    };

    pmcrash_async_list() = default;
    ~pmcrash_async_list() { freeAll(); }
    pmcrash_async_list(const pmcrash_async_list&) = delete;
    pmcrash_async_list& operator=(const pmcrash_async_list&) = delete;

    // Signal-safe.
    void setReading(bool reading)
    {
        if (reading)
            m_readers.fetch_add(1, std::memory_order_seq_cst);
        else
            m_readers.fetch_sub(1, std::memory_order_seq_cst);
    }

    // Signal-safe: the head when `current` is null, else the node after it.
    node* next(node* current) const
    {
        return current ? current->next.load(std::memory_order_acquire) : m_head.load(std::memory_order_acquire);
    }

    // Not signal-safe. False when no node could be allocated.
    bool append(const T& value)
    {
        Locker locker(m_lock);
        node* n = takeNode(value);
        if (!n)
            return false;
        node* tail = m_tail.load();
        if (tail) {
            n->prev.store(tail);
            node* expected = nullptr;
            tail->next.compare_exchange_strong(expected, n, std::memory_order_seq_cst);
            m_tail.store(n);
        } else {
            m_tail.store(n);
            node* expected = nullptr;
            m_head.compare_exchange_strong(expected, n, std::memory_order_seq_cst);
        }
        return true;
    }

    // Not signal-safe. False when no node could be allocated.
    bool prepend(const T& value)
    {
        Locker locker(m_lock);
        node* n = takeNode(value);
        if (!n)
            return false;
        node* head = m_head.load();
        if (m_tail.load()) {
            n->next.store(head);
            head->prev.store(n);
            std::atomic_thread_fence(std::memory_order_seq_cst);
            m_head.compare_exchange_strong(head, n, std::memory_order_seq_cst);
        } else {
            m_tail.store(n);
            node* expected = nullptr;
            m_head.compare_exchange_strong(expected, n, std::memory_order_seq_cst);
        }
        return true;
    }

    // Not signal-safe. Unlinks `target`; a node that is not in the list is ignored.
    void remove(node* target)
    {
        Locker locker(m_lock);
        node* previous = nullptr;
        node* item = m_head.load();
        while (item && item != target) {
            previous = item;
            item = item->next.load();
        }
        if (!item)
            return;
        node* following = item->next.load();
        std::atomic<node*>& link = previous ? previous->next : m_head;
        node* expected = item;
        link.compare_exchange_strong(expected, following, std::memory_order_seq_cst);
        if (following)
            following->prev.store(item->prev.load());
        else
            m_tail.store(item->prev.load());
        if (m_readers.load(std::memory_order_seq_cst) < 1) {
            delete item;
        } else {
            // A reader may still stand on the node; keep its next pointer so it can walk on.
            item->prev.store(nullptr);
            node* oldFree = m_free;
            if (oldFree)
                oldFree->prev.store(item);
            item->freeNext = oldFree;
            m_free = item;
        }
    }

    // Not for concurrent use: frees every node of the list and of the free list.
    void freeAll()
    {
        node* item = m_head.exchange(nullptr);
        while (item) {
            node* following = item->next.load();
            delete item;
            item = following;
        }
        m_tail.store(nullptr);
        item = m_free;
        while (item) {
            node* following = item->freeNext;
            delete item;
            item = following;
        }
        m_free = nullptr;
    }

    int readers() const { return m_readers.load(); }
    // Test aid: the first node kept for reuse.
    const node* freeListHead() const { return m_free; }

private:
    class Locker {
    public:
        explicit Locker(std::atomic_flag& flag)
            : m_flag(flag)
        {
            while (m_flag.test_and_set(std::memory_order_acquire)) { }
        }
        ~Locker() { m_flag.clear(std::memory_order_release); }

    private:
        std::atomic_flag& m_flag;
    };

    node* takeNode(const T& value)
    {
        node* n = m_free;
        if (n) {
            m_free = n->freeNext;
            n->freeNext = nullptr;
            if (m_free)
                m_free->prev.store(nullptr);
            n->value = value;
        } else {
            n = new (std::nothrow) node { value };
            if (!n)
                return nullptr;
        }
        n->prev.store(nullptr);
        n->next.store(nullptr);
        std::atomic_thread_fence(std::memory_order_seq_cst);
        return n;
    }

    std::atomic_flag m_lock = ATOMIC_FLAG_INIT;
    std::atomic<node*> m_head { nullptr };
    std::atomic<node*> m_tail { nullptr };
    std::atomic<int> m_readers { 0 };
    node* m_free = nullptr;
};
