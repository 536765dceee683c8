#pragma once

// The small value types of the platform's grids, for every module that talks
// about cells without needing the grid control itself.

namespace platform {

// A cell: column X, row Y.
struct TGridCoord
{
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

// A range of cells, inclusive on every side: columns Left..Right, rows
// Top..Bottom.
struct TGridRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TGridRect&) const = default;
};

// Grid options, a set of bits.
using TGridOption = unsigned;
using TGridOptions = unsigned;
constexpr TGridOption goFixedVertLine = 1u << 0, goFixedHorzLine = 1u << 1, goVertLine = 1u << 2,
                      goHorzLine = 1u << 3, goRangeSelect = 1u << 4, goDrawFocusSelected = 1u << 5,
                      goRowSizing = 1u << 6, goColSizing = 1u << 7, goRowMoving = 1u << 8,
                      goColMoving = 1u << 9, goEditing = 1u << 10, goTabs = 1u << 11, goRowSelect = 1u << 12,
                      goAlwaysShowEditor = 1u << 13;

// How a cell is to be drawn, a set of bits.
using TGridDrawState = unsigned;
constexpr TGridDrawState gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2;

// What the mouse is doing to the grid.
enum class TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
using enum TGridState;

} // namespace platform
