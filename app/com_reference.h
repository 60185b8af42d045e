#pragma once
// The reference count the readers' COM objects share: each object goes with its last reference.
#include <windows.h>

template <typename Object> ULONG ReleaseReference(Object* object, LONG& references) noexcept {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0) {
        delete object;
    }
    return static_cast<ULONG>(left);
}
