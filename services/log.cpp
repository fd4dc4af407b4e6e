// "D3D.log", the record of the text output's failures, and the one-line debugger diagnostic.
#include "services/log.h"
#include "services/empty_file.h"

char g_LogFileName[8];
FILE* g_LogFile = nullptr;
char g_LogWordBuf[256];

namespace {

void DebugLine(const char* prefix, const char* text) {
    OutputDebugStringA(prefix);
    OutputDebugStringA(text);
    OutputDebugStringA("\n");
}

} // namespace

bool OpenLogFile() {
    strcpy(g_LogFileName, "D3D.log");
    CreateEmptyFile(g_LogFileName);

    g_LogFile = fopen(g_LogFileName, "w");
    if (!g_LogFile) {
        DebugLine("Impossibile aprire il file: ", g_LogFileName);
        return false;
    }

    // The stream is write-only, so this read delivers nothing and the header is written; the width
    // keeps the read inside the buffer should it ever deliver a word.
    fscanf(g_LogFile, "%255s", g_LogWordBuf);
    const bool writeHeader =
        g_LogWordBuf[0] == '\0' || strcmp(g_LogWordBuf, " ") == 0 || feof(g_LogFile) != 0;
    if (!writeHeader) {
        return true;
    }
    if (fprintf(g_LogFile, "%s", "D3D LOG FILE \n\n\n") == -1) {
        DebugLine("Impossibile scrivere sul file: ", g_LogFileName);
        return false;
    }
    return true;
}

// Without an open log the line is lost like a failed write, instead of crashing the runtime.
void LogWrite(const char* text) {
    if (!g_LogFile || fprintf(g_LogFile, "%s\n", text) == -1) {
        DebugLine("Impossibile scrivere sul file: ", g_LogFileName);
    }
}

int CloseLogFile() {
    if (!g_LogFile) {
        return EOF;
    }
    const int result = fclose(g_LogFile);
    g_LogFile = nullptr;
    return result;
}

void ErrorOut(const char* text) {
    DebugLine("ERROR: ", text);
}

HRESULT SetUpFailure(HWND hWnd, const char* boxText, const char* debugText) {
    MessageBoxA(hWnd, boxText, "Errore", MB_ICONEXCLAMATION);
    ErrorOut(debugText);
    return E_FAIL;
}
