// The program's entry on Win32. The C runtime's start-up (heap, I/O, static
// constructors) calls WinMain, which ignores its arguments and hands the full
// command line to the saver's start-up; that ends the process itself.
#include <windows.h>

#include "host/command_line.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SaverStartup(GetCommandLineA());
}
