// The DirectInput keyboard.
#include "input/input.h"

CKeyboard::~CKeyboard() {
    if (pDevice) {
        pDevice->Unacquire();
        pDevice->Release();
        pDevice = nullptr;
    }
}

int CKeyboard::IsKeyDown(int key) {
    if (!acquired) {
        return 0;
    }
    return (keys[key & 0xFF] & 0x80) ? 1 : 0;
}
