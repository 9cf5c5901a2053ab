// The stand-in libraries' log: each line is appended to the file named by the
// environment variable BV_WINE_TEST_LOG, where the checks under Wine read it.
#pragma once
#include <windows.h>

#include <cstdarg>
#include <cstdio>

inline void TestLog(const char* format, ...)
{
    char path[MAX_PATH], line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    HANDLE file = GetEnvironmentVariableA("BV_WINE_TEST_LOG", path, sizeof(path))
                      ? CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                      : INVALID_HANDLE_VALUE;
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
        CloseHandle(file);
    }
}
