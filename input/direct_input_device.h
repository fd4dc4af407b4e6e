// Inside the input layer: opening a DirectInput device (the keyboard or the mouse), taking back a device
// that the system took away, and releasing it.
#pragma once

#include "services/device.h"
#include "services/log.h"
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

// Unacquires and releases a device if it exists, and clears the pointer.
inline void ReleaseDevice(LPDIRECTINPUTDEVICE8A& device) {
    if (device) {
        device->Unacquire();
        device->Release();
        device = nullptr;
    }
}

// Acquire tries per call while the loss lasts: a device that keeps answering DIERR_INPUTLOST must not
// hold the frame; the next read tries again.
constexpr int kReacquireAttempts = 10;

// Repeats Acquire while the loss lasts, at most kReacquireAttempts times; true once the device is
// acquired again, false when the system refuses it or the loss outlasts the attempts.
inline bool ReacquireLostDevice(LPDIRECTINPUTDEVICE8A device) {
    HRESULT hr = DIERR_INPUTLOST;
    for (int attempt = 0; attempt < kReacquireAttempts && hr == DIERR_INPUTLOST; ++attempt) {
        hr = device->Acquire();
    }
    return SUCCEEDED(hr);
}
