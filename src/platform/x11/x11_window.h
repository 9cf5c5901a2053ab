// Internals of the X11 saver window shared with its tests: the translation of
// X events into the Win32-numbered messages the window procedures expect.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>

#include "platform/platform_types.h"

// One message produced from an X event.
struct TranslatedMessage {
    uint32_t message;
    WParam wParam;
    LParam lParam;
};

// Client message type with which a Win32-numbered message is posted to a window
// of another client (the preview's parent): format 32, l[0] = message number,
// l[1] = wParam, l[2] = lParam.
constexpr const char* kX11MessageAtomName = "_BRITTLEVIEW_WINDOW_MESSAGE";

// The atoms the translation needs to recognise client messages.
struct X11MessageAtoms {
    Atom protocols;     // WM_PROTOCOLS
    Atom deleteWindow;  // WM_DELETE_WINDOW
    Atom windowMessage; // kX11MessageAtomName
};

// What the translation needs beyond the event itself, found by the caller.
struct X11EventContext {
    KeySym keysym;        // for a KeyPress: the key's unshifted keysym
    bool focusLeftClient; // for a FocusOut: the input focus now lies outside this program
};

// Translates event into at most two messages for the saver window (see the
// table in x11_window.cpp). Returns the number of messages written to out.
int TranslateX11Event(const XEvent& event, const X11EventContext& context,
                      const X11MessageAtoms& atoms, TranslatedMessage out[2]);

// Packs two 16-bit coordinates the way Win32 does in a mouse message's lParam.
inline LParam MakePointLParam(int x, int y)
{
    return static_cast<LParam>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}
