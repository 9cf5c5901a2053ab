// Window message numbers, notification codes and command values with their
// Win32 values. The window procedures work on these numbers on every
// platform; the X11 backend delivers its events under the same numbers.
#pragma once

#include <cstdint>

constexpr uint32_t kWmCreate = 0x0001;
constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmSetText = 0x000C;
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmQuit = 0x0012;
constexpr uint32_t kWmShowWindow = 0x0018;
constexpr uint32_t kWmActivateApp = 0x001C;
constexpr uint32_t kWmSetCursor = 0x0020;
constexpr uint32_t kWmPower = 0x0048;
constexpr uint32_t kWmHelp = 0x0053;
constexpr uint32_t kWmContextMenu = 0x007B;
constexpr uint32_t kWmKeyDown = 0x0100;
constexpr uint32_t kWmSysKeyDown = 0x0104;
constexpr uint32_t kWmInitDialog = 0x0110;
constexpr uint32_t kWmCommand = 0x0111;
constexpr uint32_t kWmSysCommand = 0x0112;
constexpr uint32_t kWmTimer = 0x0113;
constexpr uint32_t kWmHScroll = 0x0114;
constexpr uint32_t kWmCtlColorStatic = 0x0138;
constexpr uint32_t kWmMouseMove = 0x0200;
constexpr uint32_t kWmLButtonDown = 0x0201;
constexpr uint32_t kWmRButtonDown = 0x0204;
constexpr uint32_t kWmMButtonDown = 0x0207;
constexpr uint32_t kWmPowerBroadcast = 0x0218;
constexpr uint32_t kWmApp = 0x8000;

constexpr uintptr_t kScNextWindow = 0xF040;
constexpr uintptr_t kScPrevWindow = 0xF050;
constexpr uintptr_t kScScreenSave = 0xF140;
constexpr uintptr_t kPwrCriticalResume = 3;

// WM_COMMAND notification codes (high word of wParam).
constexpr uint32_t kBnClicked = 0;
constexpr uint32_t kEnChange = 0x0300;
