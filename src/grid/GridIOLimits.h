#pragma once
// The largest grid a reader of outside data (a file, a stream, the
// clipboard) may create or grow the grid to. Every reader checks the sizes it
// reads against these before it allocates or resizes anything, so a damaged
// or hostile input cannot make the grid ask for more memory than a real
// table needs.
#include <cstdint>

namespace GridIOLimits {
inline constexpr int MaxCols = 16384;
inline constexpr int MaxRows = 1048576;
// The widest column and highest row a reader accepts, in pixels.
inline constexpr int MaxCellExtent = 65535;
// A picture of a cell stream is decoded only when its pixels need no more
// than this many megabytes.
inline constexpr int MaxPictureMegabytes = 64;
// The largest file the readers load at all.
inline constexpr int64_t MaxFileBytes = int64_t(1) << 31;

inline constexpr bool ColsFit(int64_t cols) { return cols >= 0 && cols <= MaxCols; }
inline constexpr bool RowsFit(int64_t rows) { return rows >= 0 && rows <= MaxRows; }
} // namespace GridIOLimits
