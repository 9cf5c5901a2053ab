// The X11 backend's translation of X events into window messages, and the
// display-free system services. Events are built by hand: no display needed.

// GoogleTest first: Xlib defines None as a macro that its headers would trip over.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstring>

#include "host/win_messages.h"
#include "platform/system.h"
#include "platform/x11/x11_window.h"

namespace {

constexpr Window kWindow = 0x400001;
const X11MessageAtoms kAtoms = {301, 302, 303};

XEvent Event(int type)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.type = type;
    event.xany.window = kWindow;
    return event;
}

std::vector<TranslatedMessage> Translate(const XEvent& event, KeySym keysym = NoSymbol,
                                         bool focusLeft = false)
{
    TranslatedMessage out[2];
    const int count = TranslateX11Event(event, {keysym, focusLeft}, kAtoms, out);
    return std::vector<TranslatedMessage>(out, out + count);
}

std::vector<uint32_t> Messages(const std::vector<TranslatedMessage>& translated)
{
    std::vector<uint32_t> numbers;
    for (const TranslatedMessage& m : translated)
        numbers.push_back(m.message);
    return numbers;
}

XEvent Button(int type, unsigned int button, int x, int y)
{
    XEvent event = Event(type);
    event.xbutton.button = button;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.x_root = x + 1000;
    event.xbutton.y_root = y + 2000;
    return event;
}

} // namespace

TEST(X11Events, KeysBecomeKeyDownOrSystemKeyDownWithAlt)
{
    XEvent press = Event(KeyPress);
    EXPECT_EQ(Messages(Translate(press, XK_a)), (std::vector<uint32_t>{kWmKeyDown}));
    EXPECT_EQ(Translate(press, XK_a)[0].wParam, static_cast<WParam>(XK_a));
    press.xkey.state = Mod1Mask;
    EXPECT_EQ(Messages(Translate(press, XK_a)), (std::vector<uint32_t>{kWmSysKeyDown}));
    press.xkey.state = 0;
    EXPECT_EQ(Messages(Translate(press, XK_Alt_L)), (std::vector<uint32_t>{kWmSysKeyDown}));
    press.xkey.state = ShiftMask | ControlMask;
    EXPECT_EQ(Messages(Translate(press, XK_Return)), (std::vector<uint32_t>{kWmKeyDown}));
    // F1 is a key press and a help request.
    press.xkey.state = 0;
    EXPECT_EQ(Messages(Translate(press, XK_F1)), (std::vector<uint32_t>{kWmKeyDown, kWmHelp}));
    EXPECT_TRUE(Translate(Event(KeyRelease), XK_a).empty());
}

TEST(X11Events, ButtonsOneToThreeAreLeftMiddleRightAndWheelsCountForNothing)
{
    const auto left = Translate(Button(ButtonPress, 1, 10, 20));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].message, kWmLButtonDown);
    EXPECT_EQ(left[0].lParam, MakePointLParam(10, 20));
    EXPECT_EQ(Messages(Translate(Button(ButtonPress, 2, 0, 0))),
              (std::vector<uint32_t>{kWmMButtonDown}));
    EXPECT_EQ(Messages(Translate(Button(ButtonPress, 3, 0, 0))),
              (std::vector<uint32_t>{kWmRButtonDown}));
    for (unsigned int wheelOrSide : {4u, 5u, 6u, 7u, 8u, 9u})
        EXPECT_TRUE(Translate(Button(ButtonPress, wheelOrSide, 0, 0)).empty()) << wheelOrSide;
    for (unsigned int button : {1u, 2u, 4u})
        EXPECT_TRUE(Translate(Button(ButtonRelease, button, 0, 0)).empty()) << button;
}

TEST(X11Events, RightButtonReleaseAsksForTheContextMenuAtTheScreenPoint)
{
    XEvent release = Button(ButtonRelease, 3, 5, 6);
    release.xbutton.window = kWindow;
    const auto menu = Translate(release);
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].message, kWmContextMenu);
    EXPECT_EQ(menu[0].wParam, static_cast<WParam>(kWindow));
    EXPECT_EQ(menu[0].lParam, MakePointLParam(1005, 2006));
}

TEST(X11Events, MotionExposeAndCloseRequests)
{
    XEvent motion = Event(MotionNotify);
    motion.xmotion.x = 7;
    motion.xmotion.y = 9;
    const auto move = Translate(motion);
    ASSERT_EQ(move.size(), 1u);
    EXPECT_EQ(move[0].message, kWmMouseMove);
    EXPECT_EQ(move[0].lParam, MakePointLParam(7, 9));

    XEvent expose = Event(Expose);
    expose.xexpose.count = 2; // more of the series follow: paint once, at the last
    EXPECT_TRUE(Translate(expose).empty());
    expose.xexpose.count = 0;
    EXPECT_EQ(Messages(Translate(expose)), (std::vector<uint32_t>{kWmPaint}));

    XEvent client = Event(ClientMessage);
    client.xclient.format = 32;
    client.xclient.message_type = kAtoms.protocols;
    client.xclient.data.l[0] = static_cast<long>(kAtoms.deleteWindow);
    EXPECT_EQ(Messages(Translate(client)), (std::vector<uint32_t>{kWmClose}));
    client.xclient.data.l[0] = 999; // another protocol
    EXPECT_TRUE(Translate(client).empty());

    client.xclient.message_type = kAtoms.windowMessage;
    client.xclient.data.l[0] = kWmContextMenu;
    client.xclient.data.l[1] = 0x1234;
    client.xclient.data.l[2] = 0x00050006;
    const auto forwarded = Translate(client);
    ASSERT_EQ(forwarded.size(), 1u);
    EXPECT_EQ(forwarded[0].message, kWmContextMenu);
    EXPECT_EQ(forwarded[0].wParam, 0x1234u);
    EXPECT_EQ(forwarded[0].lParam, 0x00050006);
    client.xclient.format = 8;
    EXPECT_TRUE(Translate(client).empty());

    EXPECT_TRUE(Translate(Event(MapNotify)).empty());
    EXPECT_TRUE(Translate(Event(ConfigureNotify)).empty());
}

TEST(X11Events, FocusGoingToAnotherClientDeactivates)
{
    XEvent out = Event(FocusOut);
    out.xfocus.mode = NotifyNormal;
    out.xfocus.detail = NotifyNonlinear;
    const auto deactivate = Translate(out, NoSymbol, true);
    ASSERT_EQ(deactivate.size(), 1u);
    EXPECT_EQ(deactivate[0].message, kWmActivateApp);
    EXPECT_EQ(deactivate[0].wParam, 0u);
    out.xfocus.mode = NotifyWhileGrabbed;
    EXPECT_EQ(Translate(out, NoSymbol, true).size(), 1u);

    // Still ours, our own grabs, or a child of ours taking the focus: nothing.
    out.xfocus.mode = NotifyNormal;
    EXPECT_TRUE(Translate(out, NoSymbol, false).empty());
    out.xfocus.mode = NotifyGrab;
    EXPECT_TRUE(Translate(out, NoSymbol, true).empty());
    out.xfocus.mode = NotifyUngrab;
    EXPECT_TRUE(Translate(out, NoSymbol, true).empty());
    out.xfocus.mode = NotifyNormal;
    out.xfocus.detail = NotifyInferior;
    EXPECT_TRUE(Translate(out, NoSymbol, true).empty());
    // Gaining the focus is not a close.
    XEvent in = Event(FocusIn);
    in.xfocus.mode = NotifyNormal;
    EXPECT_TRUE(Translate(in, NoSymbol, true).empty());
}

TEST(X11Events, PointParameterKeepsNegativeCoordinatesInSixteenBits)
{
    const LParam point = MakePointLParam(-1, 3);
    EXPECT_EQ(point & 0xFFFF, 0xFFFF);
    EXPECT_EQ((point >> 16) & 0xFFFF, 3);
}

TEST(X11System, PlatformIsNeverOfTheWindows95FamilyAndHasNoPasswordLibraries)
{
    EXPECT_FALSE(PlatformIsWin9xFamily());
    uint32_t value = 77;
    EXPECT_FALSE(PlatformReadScreenSaveUsePassword(&value));
    EXPECT_EQ(PlatformLoadLibrary("PASSWORD.CPL"), 0u);
    EXPECT_EQ(PlatformGetLoadedLibrary("IMM32.DLL"), 0u);
}

TEST(X11System, CharacterStepStopsAtTheEnd)
{
    const char text[] = "a\xc3\xa9";
    EXPECT_EQ(PlatformCharNext(text), text + 1);
    EXPECT_EQ(PlatformCharNext(text + 3), text + 3);
}

TEST(X11System, RegisteredMessagesAreStablePerNameAndDistinct)
{
    const uint32_t autoplay = PlatformRegisterWindowMessage("QueryCancelAutoPlay");
    EXPECT_GE(autoplay, 0xC000u);
    EXPECT_LE(autoplay, 0xFFFFu);
    EXPECT_EQ(PlatformRegisterWindowMessage("QueryCancelAutoPlay"), autoplay);
    EXPECT_NE(PlatformRegisterWindowMessage("SomethingElse"), autoplay);
    EXPECT_EQ(PlatformRegisterWindowMessage(""), 0u);
}
