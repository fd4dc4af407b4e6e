// The DirectInput object and the keyboard: set-up, key tests with the re-acquire of a lost device,
// and release.
#include "input/input.h"

#include "services/device.h"
#include "services/log.h"
#include "services/safe_release.h"
#include "input/direct_input_device.h"
#include "platform/platform.h"

LPDIRECTINPUT8A g_pDirectInput = nullptr;

namespace {

constexpr DWORD kKeyboardCooperation = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr DeviceSetUpMessages kKeyboardMessages = {
    "Failed to create key device", "Unable to set the keyboard data format",
    "Unable to set keyboard cooperative level", "Unable to acquire the keyboard"};

} // namespace

HRESULT InitInput() {
    SafeRelease(g_pDirectInput);
    if (FAILED(DirectInput8Create(g_hInstance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  reinterpret_cast<void**>(&g_pDirectInput), nullptr))) {
        ErrorOut("Failed to create DirectInput");
        return E_FAIL;
    }
    if (FAILED(g_Keyboard.Init())) {
        ErrorOut("Failed to initialize keyboard");
        return E_FAIL;
    }
    if (FAILED(g_Mouse.Init())) {
        ErrorOut("Unable to initialize mouse");
        return E_FAIL;
    }
    return S_OK;
}

void ReleaseInput() {
    SafeRelease(g_pDirectInput);
}

CKeyboard::~CKeyboard() {
    Release();
}

HRESULT CKeyboard::Init() {
    if (!g_pDirectInput) {
        return E_FAIL;
    }
    // The flag belongs to the device released here: a set-up that fails from now on leaves the
    // keyboard not acquired.
    Release();

    if (FAILED(OpenDevice(GUID_SysKeyboard, &c_dfDIKeyboard, kKeyboardCooperation, kKeyboardMessages,
                          &pDevice))) {
        return E_FAIL;
    }
    acquired = 1;
    return S_OK;
}

int CKeyboard::IsKeyDown(int key) {
    if (!acquired) {
        return 0;
    }
    const HRESULT hr = GetDeviceStateReportingLoss(pDevice, sizeof(keys), keys);
    if (FAILED(hr)) {
        if (hr != DIERR_INPUTLOST || !ReacquireLostDevice(pDevice)) {
            return 0;
        }
        // Whatever this read answers, the keys are tested as it left them.
        pDevice->GetDeviceState(sizeof(keys), keys);
    }
    if (key < 0 || key >= static_cast<int>(sizeof(keys))) {
        return 0;
    }
    return (keys[key] & 0x80) ? 1 : 0;
}

void CKeyboard::Release() {
    ReleaseDevice(pDevice);
    acquired = 0;
}
