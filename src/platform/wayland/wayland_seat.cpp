// The seat: keyboard and pointer on the saver's surfaces.
//
// | Wayland event                          | message          | wParam, lParam         |
// |----------------------------------------|------------------|------------------------|
// | keyboard key, pressed                  | WM_KEYDOWN       | key code + 8, 0        |
// | pointer button BTN_LEFT, pressed       | WM_LBUTTONDOWN   | 0, x,y on the surface  |
// | pointer button BTN_RIGHT, pressed      | WM_RBUTTONDOWN   | 0, x,y                 |
// | pointer button BTN_MIDDLE, pressed     | WM_MBUTTONDOWN   | 0, x,y                 |
// | other buttons, releases, axis (wheel)  | none             |                        |
// | pointer motion, or enter after the     | WM_MOUSEMOVE     | 0, x,y                 |
// | first one                              |                  |                        |
// | the first enter, the first motion      | none: each sets the reference point      |
//
// The saver window measures movement from the position it read when it was
// made. Under Wayland a client learns where the pointer is only when it enters
// one of its surfaces, so positions are reported relative to that first
// appearance, which the window reads as (0, 0) at its start. A compositor may
// follow the first enter with a motion of its own making (a surface mapped
// under the pointer, a pointer device appearing), so the first motion moves
// the reference point too instead of counting as a move. The cursor is
// hidden on every surface the pointer enters.
#include "platform/wayland/wayland_seat.h"

#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include "platform/wayland/wayland_connection.h"
#include "platform/win_messages.h"

namespace {

WaylandInputSink sink = nullptr;
wl_keyboard* keyboard = nullptr;
wl_pointer* pointer = nullptr;

bool referenceSet = false;
bool motionSeen = false;
ScreenPoint reference = {0, 0};
ScreenPoint current = {0, 0};
LParam surfacePoint = 0;

void Send(uint32_t message, WParam wParam, LParam lParam)
{
    if (sink)
        sink(message, wParam, lParam);
}

LParam PackPoint(int x, int y)
{
    return static_cast<LParam>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}

wl_surface* pointerSurface = nullptr;

void PointerAt(wl_fixed_t sx, wl_fixed_t sy)
{
    const WaylandOutput* output = FindWaylandOutput(pointerSurface);
    const int x = wl_fixed_to_int(sx);
    const int y = wl_fixed_to_int(sy);
    current = {(output ? output->x : 0) + x, (output ? output->y : 0) + y};
    surfacePoint = PackPoint(x, y);
}

void OnPointerEnter(void*, wl_pointer* from, uint32_t serial, wl_surface* surface, wl_fixed_t sx,
                    wl_fixed_t sy)
{
    wl_pointer_set_cursor(from, serial, nullptr, 0, 0);
    pointerSurface = surface;
    PointerAt(sx, sy);
    if (!referenceSet) {
        referenceSet = true;
        reference = current;
        return;
    }
    Send(kWmMouseMove, 0, surfacePoint);
}

void OnPointerLeave(void*, wl_pointer*, uint32_t, wl_surface*)
{
    pointerSurface = nullptr;
}

void OnPointerMotion(void*, wl_pointer*, uint32_t, wl_fixed_t sx, wl_fixed_t sy)
{
    PointerAt(sx, sy);
    if (!referenceSet || !motionSeen) {
        referenceSet = motionSeen = true;
        reference = current;
        return;
    }
    Send(kWmMouseMove, 0, surfacePoint);
}

void OnPointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state)
{
    if (state != WL_POINTER_BUTTON_STATE_PRESSED)
        return;
    switch (button) {
    case BTN_LEFT:
        Send(kWmLButtonDown, 0, surfacePoint);
        break;
    case BTN_RIGHT:
        Send(kWmRButtonDown, 0, surfacePoint);
        break;
    case BTN_MIDDLE:
        Send(kWmMButtonDown, 0, surfacePoint);
        break;
    default:
        break;
    }
}

void OnPointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void OnPointerFrame(void*, wl_pointer*) {}
void OnPointerAxisSource(void*, wl_pointer*, uint32_t) {}
void OnPointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnPointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
#ifdef WL_POINTER_AXIS_VALUE120_SINCE_VERSION
void OnPointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}
#endif

const wl_pointer_listener kPointerListener = {
    OnPointerEnter,        OnPointerLeave,    OnPointerMotion,
    OnPointerButton,       OnPointerAxis,     OnPointerFrame,
    OnPointerAxisSource,   OnPointerAxisStop, OnPointerAxisDiscrete,
#ifdef WL_POINTER_AXIS_VALUE120_SINCE_VERSION
    OnPointerAxisValue120,
#endif
};

void OnKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t)
{
    close(fd); // keys end the saver whatever they mean
}
void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

void OnKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        Send(kWmKeyDown, static_cast<WParam>(key + 8), 0);
}

void OnModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};

void OnCapabilities(void*, wl_seat* seat, uint32_t capabilities)
{
    const bool hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasKeyboard && !keyboard) {
        keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(keyboard, &kKeyboardListener, nullptr);
    } else if (!hasKeyboard && keyboard) {
        wl_keyboard_release(keyboard);
        keyboard = nullptr;
    }
    if (hasPointer && !pointer) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, &kPointerListener, nullptr);
    } else if (!hasPointer && pointer) {
        wl_pointer_release(pointer);
        pointer = nullptr;
    }
}

void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

} // namespace

void SetWaylandInputSink(WaylandInputSink newSink)
{
    sink = newSink;
}

ScreenPoint WaylandPointerOffset()
{
    if (!referenceSet)
        return {0, 0};
    return {current.x - reference.x, current.y - reference.y};
}

void ListenToWaylandSeat(wl_seat* seat)
{
    wl_seat_add_listener(seat, &kSeatListener, nullptr);
}

void ReleaseWaylandSeat()
{
    keyboard = nullptr; // the connection's end frees the proxies
    pointer = nullptr;
    pointerSurface = nullptr;
}
