// Window, dialog and control style bits with their Win32 values. The host
// asks for its windows in these terms and the dialog templates are written in
// them; each backend translates them into what its window system offers.
#pragma once

#include <cstdint>

constexpr uint32_t kWsPopup = 0x80000000u;
constexpr uint32_t kWsCaption = 0x00C00000u;
constexpr uint32_t kWsSysMenu = 0x00080000u;
constexpr uint32_t kWsBorder = 0x00800000u;
constexpr uint32_t kWsGroup = 0x00020000u;
constexpr uint32_t kWsTabStop = 0x00010000u;
constexpr uint32_t kDsModalFrame = 0x0080u;
constexpr uint32_t kDsSetFont = 0x0040u;
constexpr uint32_t kBsPushButton = 0x0000u;
constexpr uint32_t kBsDefPushButton = 0x0001u;
constexpr uint32_t kBsAutoCheckBox = 0x0003u;
constexpr uint32_t kBsRadioButton = 0x0004u;
constexpr uint32_t kBsGroupBox = 0x0007u;
constexpr uint32_t kEsLeft = 0x0000u;
constexpr uint32_t kEsNumber = 0x2000u;
constexpr uint32_t kSsLeft = 0x0000u;
constexpr uint32_t kSsCenter = 0x0001u;
constexpr uint32_t kSsRight = 0x0002u;
constexpr uint32_t kSsNotify = 0x0100u;
constexpr uint32_t kTbsHorz = 0x0000u;
constexpr uint32_t kTbsBoth = 0x0008u;
constexpr uint32_t kTbsNoTicks = 0x0010u;
constexpr uint32_t kWsChild = 0x40000000u;
constexpr uint32_t kWsVisible = 0x10000000u;
constexpr uint32_t kWsClipSiblings = 0x04000000u;
constexpr uint32_t kWsClipChildren = 0x02000000u;
constexpr uint32_t kWsExTopmost = 0x00000008u;
