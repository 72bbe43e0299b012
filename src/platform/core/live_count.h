#pragma once
// How many objects of a type are alive, for the types a load makes and should leave nothing of:
// a load that ran for hours on a timer would otherwise grow unseen. A base of T: one atomic
// count per type, bumped on construction (copies and moves included) and on destruction.
#include <atomic>

template <typename T> class LiveCount {
public:
    static int alive() { return count_.load(std::memory_order_relaxed); }

protected:
    LiveCount() { count_.fetch_add(1, std::memory_order_relaxed); }
    LiveCount(const LiveCount&) : LiveCount() {}
    LiveCount& operator=(const LiveCount&) = default;
    ~LiveCount() { count_.fetch_sub(1, std::memory_order_relaxed); }

private:
    // A diagnostic count, not data: the one mutable value of its kind outside an object.
    static inline std::atomic<int> count_{0};
};
