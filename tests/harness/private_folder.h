// A working folder of the test process's own for as long as it lives. The tests of a suite run side
// by side in one folder, and the device set-up writes "options.txt" there, which other tests read.
#pragma once

#include "harness.h"

#include <cstdio>

class PrivateFolder {
public:
    PrivateFolder() {
        GetCurrentDirectoryA(sizeof(m_previous), m_previous);
        snprintf(m_name, sizeof(m_name), "private-%lu", GetCurrentProcessId());
        CreateDirectoryA(m_name, nullptr);
        SetCurrentDirectoryA(m_name);
    }
    ~PrivateFolder() {
        RemovePath("options.txt");
        SetCurrentDirectoryA(m_previous);
        RemovePath(m_name);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

private:
    char m_previous[MAX_PATH] = {};
    char m_name[32] = {};
};
