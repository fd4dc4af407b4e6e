// "D3D.log", the record of the text output's failures, and the one-line debugger diagnostics.
#pragma once

#include <windows.h>
#include <cstdio>

extern char g_LogFileName[8];
extern FILE* g_LogFile;
extern char g_LogWordBuf[256];

bool OpenLogFile();
void LogWrite(const char* text);
// Closes the log and clears g_LogFile: fclose's result, or EOF when no log is open.
int CloseLogFile();
void ErrorOut(const char* text);
// A set-up failure told to the player and the debugger: a box captioned "Errore" showing boxText, then
// ErrorOut(debugText). Returns E_FAIL for the caller to hand on.
HRESULT SetUpFailure(HWND hWnd, const char* boxText, const char* debugText);
