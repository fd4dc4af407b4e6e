// Inside the 2D interface: the mouse buttons as the button and slider hit tests read them.
#pragma once

#include "input/input.h"

struct MouseButtons {
    bool anyDown; // any of the four buttons
    bool press;   // the left button, or buttons 1, 2 and 3 all together
};

inline MouseButtons ReadMouseButtons() {
    const BYTE* buttons = g_Mouse.state.rgbButtons;
    bool down[4];
    for (int i = 0; i < 4; ++i) {
        down[i] = (buttons[i] & 0x80) != 0;
    }
    return {down[0] || down[1] || down[2] || down[3], down[0] || (down[1] && down[2] && down[3])};
}
