// Inside the input devices: opening a device, and taking back a device that the system took away.
#pragma once

#include "services/services.h"
#include "input/input.h"

// What a device's set-up reports for each step that fails.
struct DeviceSetUpMessages {
    const char* create;
    const char* format;
    const char* cooperation;
    const char* acquire;
};

// Creates the device into *device, sets its data format and cooperative level on the game's window and
// acquires it. A failed step is reported and gives E_FAIL; *device is null only when creation failed.
inline HRESULT OpenDevice(REFGUID guid, LPCDIDATAFORMAT format, DWORD cooperation,
                          const DeviceSetUpMessages& messages, LPDIRECTINPUTDEVICE8A* device) {
    if (FAILED(g_pDirectInput->CreateDevice(guid, device, nullptr))) {
        *device = nullptr;
        ErrorOut(messages.create);
        return E_FAIL;
    }
    if (FAILED((*device)->SetDataFormat(format))) {
        ErrorOut(messages.format);
        return E_FAIL;
    }
    if (FAILED((*device)->SetCooperativeLevel(g_hWnd, cooperation))) {
        ErrorOut(messages.cooperation);
        return E_FAIL;
    }
    if (FAILED((*device)->Acquire())) {
        ErrorOut(messages.acquire);
        return E_FAIL;
    }
    return S_OK;
}

// Repeats Acquire while the loss lasts; true once the device is acquired again, false when the system
// refuses it (the window is still in the background).
inline bool ReacquireLostDevice(LPDIRECTINPUTDEVICE8A device) {
    HRESULT hr;
    do {
        hr = device->Acquire();
    } while (hr == DIERR_INPUTLOST);
    return SUCCEEDED(hr);
}
