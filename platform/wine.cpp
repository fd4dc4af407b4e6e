// Telling Wine apart from Windows.
#include "platform/platform.h"

bool IsRunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
