// Inside the input devices: taking back a device that the system took away.
#pragma once

#include "input/input.h"

// Repeats Acquire while the loss lasts; true once the device is acquired again, false when the system
// refuses it (the window is still in the background).
inline bool ReacquireLostDevice(LPDIRECTINPUTDEVICE8A device) {
    HRESULT hr;
    do {
        hr = device->Acquire();
    } while (hr == DIERR_INPUTLOST);
    return SUCCEEDED(hr);
}
