// What the input tests share: the reset of the input globals, real input injected through SendInput
// (Wine routes it to the DirectInput devices), and the foreground, which other test processes on the
// same display take whenever they show a window.
#pragma once

#include "harness.h"

#include "input/input.h"

// Releases the devices, the object, the cursor picture and the sprite; back to the zero fill.
void ResetInputGlobals();

// Relative motion in steps small enough that the system's pointer acceleration leaves them alone.
void SendMotion(int dx, int dy);
void SendLeftButton(bool down);
void SendKey(int dik, bool down);

// Holds a key down while it lives, so a failing test never leaves it held for the next one.
class HeldKey {
public:
    explicit HeldKey(int dik) : m_dik(dik) { SendKey(m_dik, true); }
    ~HeldKey() { SendKey(m_dik, false); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;

private:
    int m_dik;
};

// Injected input reaches the devices a little later, the more so on a loaded machine: waits until
// the condition holds, for at most two seconds.
template <typename Condition> bool Eventually(Condition condition) {
    for (int waited = 0; waited < 2000; waited += 5) {
        if (condition()) {
            return true;
        }
        Sleep(5);
    }
    return condition();
}

// Runs frames as the screens do (Poll, then UpdatePosition) until the cursor stands at (x, y) or two
// seconds pass; answers the motion the reads reported, summed.
MouseDelta FramesUntilCursorAt(int x, int y);

// Lets the window procedures and the input system's hooks run.
void PumpMessages();
// Makes the window the foreground one; false when another window keeps taking it.
bool TakeForeground(HWND window);

// A real window and device with the input devices on top. StartInput brings the window to the
// foreground and runs InitInput, again if another process took the foreground meanwhile.
class InputDeviceTest : public DeviceTest {
protected:
    void SetUp() override;
    void TearDown() override;
    bool StartInput();
    // True while nothing has taken the foreground from the window since StartInput.
    bool StillForeground() const { return GetForegroundWindow() == m_window; }
};

// Runs a scenario until one run is not disturbed by another process taking the foreground; the
// scenario answers false when it was.
template <typename Scenario> bool RunUndisturbed(Scenario scenario, int attempts = 5) {
    for (int i = 0; i < attempts; ++i) {
        if (scenario()) {
            return true;
        }
    }
    return false;
}
