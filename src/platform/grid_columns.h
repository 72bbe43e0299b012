#pragma once
// Column weights of the two quote grids; each column's width follows the grid's width.

inline constexpr int QuoteColumnWeights[7] = {60, 100, 90, 10, 94, 86, 124};
inline constexpr int RealTimeColumnWeights[7] = {50, 82, 68, 110, 110, 68, 68};

// (gridWidth - margin) * weight / divisor, the fraction dropped.
inline int gridColumnWidth(int gridWidth, int weight, int margin, int divisor) {
    return (gridWidth - margin) * weight / divisor;
}
