#pragma once
// Stable hashing for the simulated market: the same seed, symbol and moment give the
// same numbers on every run and every build (std::hash promises neither).
#include <cstdint>
#include <string_view>

namespace sim {

inline std::uint64_t mix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

inline std::uint64_t hashText(std::string_view text) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return h;
}

inline std::uint64_t combine(std::uint64_t a, std::uint64_t b) {
    return mix(a ^ mix(b));
}

inline std::uint64_t combine(std::uint64_t a, std::uint64_t b, std::uint64_t c) {
    return combine(combine(a, b), c);
}

// A number in [0, 1).
inline double unit(std::uint64_t h) {
    return static_cast<double>(h >> 11) * (1.0 / 9007199254740992.0);
}

// Roughly normal noise (mean 0, deviation 1) from four uniform draws.
inline double gaussianish(std::uint64_t h) {
    double sum = 0;
    for (int i = 0; i < 4; ++i) {
        h = mix(h);
        sum += unit(h);
    }
    return (sum - 2.0) * 1.7320508075688772;
}

} // namespace sim
