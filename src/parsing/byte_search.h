#pragma once
// Byte searches the page parsers share. Sixteen places of a text are screened at once for
// two of the characters being looked for; only the places that pass are looked at further.
// (GCC and Clang vector types: SIMD where the target has it, plain code where not.)
#include <cstdint>
#include <cstring>

namespace byte_search {

using Lanes = unsigned char __attribute__((vector_size(16)));
constexpr int LaneCount = 16;

inline Lanes load(const char* bytes) {
    Lanes lanes;
    std::memcpy(&lanes, bytes, sizeof lanes);
    return lanes;
}

inline Lanes splat(char c) {
    return Lanes{} + static_cast<unsigned char>(c);
}

// A comparison of Lanes gives each lane all ones or all zeros.
template <typename Mask> bool anyLane(const Mask& mask) {
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

template <typename Mask> bool allLanes(const Mask& mask) {
    std::uint64_t halves[2];
    std::memcpy(halves, &mask, sizeof halves);
    return (halves[0] & halves[1]) == ~std::uint64_t{0};
}

} // namespace byte_search

// The first place i in [0, places), in order, where text[i + firstOffset] is first,
// text[i + secondOffset] is second and check(i) holds; -1 when there is none. text must hold
// places + max(firstOffset, secondOffset) bytes.
template <typename Check>
int firstPlace(const char* text, int places, int firstOffset, char first, int secondOffset, char second,
               Check&& check) {
    using namespace byte_search;
    const Lanes firstLanes = splat(first);
    const Lanes secondLanes = splat(second);
    int i = 0;
    for (; places - i >= LaneCount; i += LaneCount) {
        const auto passed =
            (load(text + i + firstOffset) == firstLanes) & (load(text + i + secondOffset) == secondLanes);
        if (!anyLane(passed))
            continue;
        for (int k = 0; k < LaneCount; ++k) {
            if (passed[k] && check(i + k))
                return i + k;
        }
    }
    for (; i < places; ++i) {
        if (text[i + firstOffset] == first && text[i + secondOffset] == second && check(i))
            return i;
    }
    return -1;
}

// Index of the first occurrence of the pattern (at least one character) in text[0, n), or -1.
// Places are screened for the pattern's first and last characters.
inline int firstMatch(const char* text, int n, const char* pattern, int patternLength) {
    const int last = patternLength - 1;
    return firstPlace(text, n - last, 0, pattern[0], last, pattern[last], [&](int i) {
        return std::memcmp(text + i, pattern, static_cast<std::size_t>(patternLength)) == 0;
    });
}
