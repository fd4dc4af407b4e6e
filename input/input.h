// Input devices: the DirectInput keyboard and mouse. What other subsystems may use of them.
#pragma once

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

// Zero-filled before the program starts: no constructor runs for the global instance.
class CKeyboard {
public:
    ~CKeyboard();
    int IsKeyDown(int key);

    LPDIRECTINPUTDEVICE8A pDevice;
    BYTE keys[256];
    int acquired;
};

extern CKeyboard g_Keyboard;
