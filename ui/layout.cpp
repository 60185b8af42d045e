#include "ui/layout.h"

int ScaleUnits(int units, float scale) noexcept {
    return static_cast<int>(static_cast<float>(units) * scale + 0.5f);
}
