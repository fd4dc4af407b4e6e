// The one release helper every layer uses for COM interfaces.
#pragma once

// Releases a COM interface if it exists and clears the pointer.
template <typename T> inline void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}
