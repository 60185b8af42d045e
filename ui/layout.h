#pragma once
// Layout units of a 640 x 500 client area, turned into pixels edge by edge.

// units * scale + 0.5, truncated toward zero, in single precision.
int ScaleUnits(int units, float scale) noexcept;
