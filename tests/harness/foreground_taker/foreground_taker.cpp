// Another process for the message-box answerer's test: shows a window and takes the foreground with
// it, as another test's window does on a shared display, signals the event named on its command line,
// and gives the foreground back by destroying the window once its thread is told to quit (WM_QUIT).
// Exits with 0 once its window held the foreground, else 1.
#include <windows.h>

int main(int argc, char** argv) {
    HANDLE held = argc == 2 ? OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[1]) : nullptr;
    HWND window = CreateWindowExA(0, "STATIC", "other process", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr,
                                  nullptr, nullptr, nullptr);
    bool foreground = false;
    for (int i = 0; held && window && i < 50 && !foreground; ++i) {
        SetForegroundWindow(window);
        foreground = GetForegroundWindow() == window;
        if (!foreground) {
            Sleep(10);
        }
    }
    if (foreground) {
        SetEvent(held);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
        }
    }
    if (window) {
        DestroyWindow(window);
    }
    if (held) {
        CloseHandle(held);
    }
    return foreground ? 0 : 1;
}
