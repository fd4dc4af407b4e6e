// Input injection, the foreground and the reset of the input globals for the input tests.
#include "input_support.h"

namespace {

constexpr int kMaxUnacceleratedStep = 6;
constexpr DWORD kSettleMs = 30; // the input system's hook thread sees injected input within this

void SendMouse(DWORD flags, int dx, int dy) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

int Step(int remaining) {
    if (remaining > kMaxUnacceleratedStep) {
        return kMaxUnacceleratedStep;
    }
    if (remaining < -kMaxUnacceleratedStep) {
        return -kMaxUnacceleratedStep;
    }
    return remaining;
}

} // namespace

void ResetInputGlobals() {
    g_Keyboard.Release();
    g_Mouse.Release();
    ReleaseInput();
    SafeRelease(g_Mouse.pCursorTexture);
    SafeRelease(g_Mouse.pSprite);
    ZeroMemory(g_Keyboard.keys, sizeof(g_Keyboard.keys));
    ZeroMemory(&g_Mouse.state, sizeof(g_Mouse.state));
    g_Mouse.x = 0;
    g_Mouse.y = 0;
    g_Mouse.hardwareCursor = 0;
}

void SendMotion(int dx, int dy) {
    while (dx != 0 || dy != 0) {
        const int stepX = Step(dx);
        const int stepY = Step(dy);
        SendMouse(MOUSEEVENTF_MOVE, stepX, stepY);
        dx -= stepX;
        dy -= stepY;
    }
    Sleep(kSettleMs);
}

void SendLeftButton(bool down) {
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP, 0, 0);
    Sleep(kSettleMs);
}

void SendKey(int dik, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(dik);
    input.ki.dwFlags = KEYEVENTF_SCANCODE | (down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &input, sizeof(input));
    Sleep(kSettleMs);
}

MouseDelta FramesUntilCursorAt(int x, int y) {
    MouseDelta total = {0, 0};
    Eventually([&] {
        g_Mouse.Poll();
        g_Mouse.UpdatePosition();
        total.lX += g_Mouse.state.lX;
        total.lY += g_Mouse.state.lY;
        return g_Mouse.x == x && g_Mouse.y == y;
    });
    return total;
}

void PumpMessages() {
    for (int i = 0; i < 3; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

bool TakeForeground(HWND window) {
    for (int i = 0; i < 50; ++i) {
        SetForegroundWindow(window);
        PumpMessages();
        if (GetForegroundWindow() == window) {
            return true;
        }
    }
    return false;
}

void InputDeviceTest::SetUp() {
    ResetInputGlobals();
    DeviceTest::SetUp();
}

void InputDeviceTest::TearDown() {
    ResetInputGlobals();
    DeviceTest::TearDown();
}

bool InputDeviceTest::StartInput() {
    return RunUndisturbed([this] {
        ResetInputGlobals();
        return TakeForeground(m_window) && InitInput() == S_OK && StillForeground();
    });
}
