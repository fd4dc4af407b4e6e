// DirectInput's report of a device the system has taken away.
#define DIRECTINPUT_VERSION 0x0800
#include "platform/platform.h"

#include <dinput.h>

HRESULT GetDeviceStateReportingLoss(IDirectInputDevice8A* device, DWORD size, void* data) {
    const HRESULT hr = device->GetDeviceState(size, data);
    // Wine unacquires the device when the window loses the foreground and then answers
    // DIERR_NOTACQUIRED where Windows answers DIERR_INPUTLOST.
    static const bool wine = IsRunningOnWine();
    if (hr == DIERR_NOTACQUIRED && wine) {
        return DIERR_INPUTLOST;
    }
    return hr;
}
