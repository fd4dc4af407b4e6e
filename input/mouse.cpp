// The DirectInput mouse: a clamped cursor position driven by relative motion, and the cursor picture
// drawn there with the mouse's own sprite.
#include "input/input.h"
#include "input/asset_files.h"

#include "services/device.h"
#include "services/file_path.h"
#include "services/game_folders.h"
#include "services/safe_release.h"
#include "services/sprite_picture.h"
#include "input/direct_input_device.h"
#include "platform/platform.h"

namespace {

constexpr DWORD kMouseCooperation = DISCL_EXCLUSIVE | DISCL_FOREGROUND;
constexpr DeviceSetUpMessages kMouseMessages = {
    "Unable to create mouse device", "Unable to set the mouse data format",
    "Unable to set the cooperative level for the mouse", "Unable to acquire mouse"};
constexpr int kMaxX = 1279;
constexpr int kMaxY = 1023;
constexpr int kButtonCount = 4;
constexpr auto kCursorPicture = JoinPath(game_folders::kMouse, asset_files::kCursor);

void Clamp(int& x, int& y) {
    if (x < 0) {
        x = 0;
    }
    if (y < 0) {
        y = 0;
    }
    if (x > kMaxX) {
        x = kMaxX;
    }
    if (y > kMaxY) {
        y = kMaxY;
    }
}

void MoveDeviceCursor(int x, int y) {
    if (g_pd3dDevice) {
        g_pd3dDevice->SetCursorPosition(x, y, 0);
    }
}

} // namespace

CMouse::CMouse() : pDevice(nullptr), pAux(nullptr), acquired(0), hardwareCursor(0), x(0), y(0) {}

CMouse::~CMouse() {
    Release();
}

HRESULT CMouse::Init() {
    if (!g_pDirectInput) {
        return E_FAIL;
    }
    // The flag belongs to the device released here: a set-up that fails from now on leaves the mouse
    // not acquired.
    SafeRelease(pDevice);
    acquired = 0;

    if (FAILED(OpenDevice(GUID_SysMouse, &c_dfDIMouse, kMouseCooperation, kMouseMessages, &pDevice))) {
        return E_FAIL;
    }
    acquired = 1;

    // Without a picture or a sprite the cursor is simply not seen. A second set-up replaces both.
    LoadSpriteTexture(kCursorPicture.data(), &pCursorTexture);
    CreateSprite(&pSprite);
    return S_OK;
}

HRESULT CMouse::Poll() {
    if (!acquired) {
        return E_FAIL;
    }
    const HRESULT hr = GetDeviceStateReportingLoss(pDevice, sizeof(state), &state);
    if (SUCCEEDED(hr)) {
        return S_OK;
    }
    if (hr != DIERR_INPUTLOST) {
        return E_FAIL;
    }
    // Not taken back: the state keeps the last motion, which the caller's UpdatePosition adds again.
    if (ReacquireLostDevice(pDevice)) {
        pDevice->GetDeviceState(sizeof(state), &state);
    }
    return S_OK;
}

void CMouse::UpdatePosition() {
    x += state.lX;
    y += state.lY;
    Clamp(x, y);
    MoveDeviceCursor(x, y);
}

void CMouse::DrawCursor() {
    if (!g_pd3dDevice) {
        return;
    }
    g_pd3dDevice->BeginScene();
    if (pSprite) {
        const D3DXVECTOR3 position(static_cast<float>(x), static_cast<float>(y), 0.0f);
        pSprite->Begin(D3DXSPRITE_ALPHABLEND);
        pSprite->Draw(pCursorTexture, nullptr, nullptr, &position, 0xFFFFFFFF);
        pSprite->End();
    }
    g_pd3dDevice->EndScene();
}

void CMouse::SetPosition(int newX, int newY) {
    Clamp(newX, newY);
    x = newX;
    y = newY;
    MoveDeviceCursor(x, y);
}

void CMouse::GetPosition(int* pX, int* pY) const {
    *pX = x;
    *pY = y;
}

void CMouse::MoveBy(int dx, int dy) {
    x += dx;
    y += dy;
    MoveDeviceCursor(x, y);
}

int CMouse::ShowHardwareCursor() {
    if (!acquired || !hardwareCursor) {
        return 0;
    }
    SetCursor(nullptr);
    if (g_pd3dDevice) {
        g_pd3dDevice->ShowCursor(TRUE);
    }
    return 1;
}

MouseDelta CMouse::GetDelta() const {
    return MouseDelta{state.lX, state.lY};
}

int CMouse::IsButtonDown(int button) const {
    if (button < 0 || button >= kButtonCount) {
        return 0;
    }
    return (state.rgbButtons[button] & 0x80) ? 1 : 0;
}

void CMouse::Release() {
    SafeRelease(pAux);
    ReleaseDevice(pDevice);
    acquired = 0;
}
