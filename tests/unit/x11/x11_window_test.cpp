// X events turned into window messages, built by hand: no display is needed.

// GoogleTest first: Xlib defines None as a macro that its headers would trip over.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <sstream>
#include <string>

#include "platform/platform.h"
#include "platform/win_messages.h"
#include "platform/x11/x11_window.h"

namespace {

const X11MessageAtoms kAtoms = {301, 302, 303};

// An event of type on window 77 at (-1, 3), (1010, 2020) on the screen. detail is the key state,
// the button, the focus mode (data: its detail), the expose count or the client message's type
// (data: l[0]).
XEvent Event(int type, unsigned int detail = 0, long data = 0)
{
    XEvent e{};
    e.xbutton = {type, 0, False, nullptr, 77, 0, 0, 0, -1, 3, 1010, 2020, detail, detail, True};
    if (type == FocusIn || type == FocusOut)
        e.xfocus = {type, 0, False, nullptr, 77, static_cast<int>(detail), static_cast<int>(data)};
    if (type == Expose)
        e.xexpose.count = static_cast<int>(detail);
    if (type == ClientMessage) {
        e.xclient = {type, 0, False, nullptr, 77, detail, 32, {}};
        e.xclient.data.l[0] = data;
        e.xclient.data.l[1] = 0x1234;
        e.xclient.data.l[2] = static_cast<long>(MakePointLParam(5, 6));
    }
    return e;
}

// "message wParam x,y" for each message, the point read back from lParam as Win32 does.
std::string Translate(const XEvent& event, KeySym keysym, bool focusLeft)
{
    TranslatedMessage out[2];
    const int count = TranslateX11Event(event, {keysym, focusLeft}, kAtoms, out);
    std::ostringstream text;
    for (int i = 0; i < count; ++i)
        text << (i ? "|" : "") << out[i].message << ' ' << out[i].wParam << ' '
             << static_cast<int16_t>(out[i].lParam) << ','
             << static_cast<int16_t>(out[i].lParam >> 16);
    return text.str();
}

} // namespace

TEST(X11Events, EachEventBecomesTheMessageTheSaverExpects)
{
    const struct {
        const char* what;
        XEvent event;
        KeySym keysym;
        bool focusLeft;
        const char* messages;
    } cases[] = {
        {"key a", Event(KeyPress), XK_a, false, "256 97 0,0"},
        {"Alt+a", Event(KeyPress, Mod1Mask), XK_a, false, "260 97 0,0"},
        {"F1, help too", Event(KeyPress), XK_F1, false, "256 65470 0,0|83 0 0,0"},
        {"button 1", Event(ButtonPress, 1), 0, false, "513 0 -1,3"},
        {"button 2", Event(ButtonPress, 2), 0, false, "519 0 -1,3"},
        {"wheel up", Event(ButtonPress, 4), 0, false, ""},
        {"release 3: menu", Event(ButtonRelease, 3), 0, false, "123 77 1010,2020"},
        {"motion", Event(MotionNotify), 0, false, "512 0 -1,3"},
        {"focus to another", Event(FocusOut, NotifyNormal, NotifyNonlinear), 0, true, "28 0 0,0"},
        {"grabbed", Event(FocusOut, NotifyWhileGrabbed, NotifyNonlinear), 0, true, "28 0 0,0"},
        {"focus still ours", Event(FocusOut, NotifyNormal, NotifyNonlinear), 0, false, ""},
        {"our own grab", Event(FocusOut, NotifyGrab, NotifyNonlinear), 0, true, ""},
        {"expose, last", Event(Expose, 0), 0, false, "15 0 0,0"},
        {"delete window", Event(ClientMessage, 301, 302), 0, false, "16 0 0,0"},
        {"forwarded", Event(ClientMessage, 303, kWmContextMenu), 0, false, "123 4660 5,6"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Translate(c.event, c.keysym, c.focusLeft), c.messages) << c.what;
}
