// The desktop picture on Wayland: one screencopy of the scene's output,
// without the cursor, into a shared-memory buffer of exactly the format, size
// and stride the compositor announces, then scaled like every other capture.
// It runs on the window thread while the saver's covers are still unmapped.
// Without screencopy, or when the copy fails or does not come, the picture is
// the program's own, with one line on standard error.
#include <poll.h>
#include <sys/mman.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>

#include "platform/wayland/wayland_backend.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_rules.h"
#include "wlr-screencopy-unstable-v1-client.h"

namespace {

// How long the compositor may take to announce the buffer and to fill it.
constexpr int kCopyTimeoutMilliseconds = 2000;

void (*pictureFallback)(int width, int height, uint8_t* bgr) = nullptr;

struct CopyState {
    bool haveShm = false;
    uint32_t format = 0;
    int width = 0, height = 0, stride = 0;
    bool bufferDone = false;
    bool yInvert = false;
    bool ready = false;
    bool failed = false;
};

void OnBuffer(void* data, zwlr_screencopy_frame_v1*, uint32_t format, uint32_t width,
              uint32_t height, uint32_t stride)
{
    auto* state = static_cast<CopyState*>(data);
    state->haveShm = true;
    state->format = format;
    state->width = static_cast<int>(width);
    state->height = static_cast<int>(height);
    state->stride = static_cast<int>(stride);
}

void OnFlags(void* data, zwlr_screencopy_frame_v1*, uint32_t flags)
{
    static_cast<CopyState*>(data)->yInvert = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}

void OnReady(void* data, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t)
{
    static_cast<CopyState*>(data)->ready = true;
}

void OnFailed(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<CopyState*>(data)->failed = true;
}

void OnDamage(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t, uint32_t) {}
void OnDmabuf(void*, zwlr_screencopy_frame_v1*, uint32_t, uint32_t, uint32_t) {}

void OnBufferDone(void* data, zwlr_screencopy_frame_v1*)
{
    static_cast<CopyState*>(data)->bufferDone = true;
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {OnBuffer, OnFlags,  OnReady,     OnFailed,
                                                          OnDamage, OnDmabuf, OnBufferDone};

// Dispatches the connection's events until done() holds or the deadline
// passes; false on timeout or a lost connection.
template <typename Done>
bool DispatchUntil(Done done, std::chrono::steady_clock::time_point deadline)
{
    wl_display* display = wayland.display;
    while (!done()) {
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0)
                return false;
            continue;
        }
        wl_display_flush(display);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        pollfd wait = {wl_display_get_fd(display), POLLIN, 0};
        if (poll(&wait, 1, static_cast<int>(left.count())) > 0) {
            if (wl_display_read_events(display) != 0)
                return false;
        } else {
            wl_display_cancel_read(display);
        }
        if (wl_display_dispatch_pending(display) < 0)
            return false;
    }
    return true;
}

bool CopyOutput(WaylandOutput* output, int width, int height, uint8_t* out)
{
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kCopyTimeoutMilliseconds);
    CopyState state;
    zwlr_screencopy_frame_v1* frame =
        zwlr_screencopy_manager_v1_capture_output(wayland.screencopy, 0, output->output);
    zwlr_screencopy_frame_v1_add_listener(frame, &kFrameListener, &state);
    // From version 3 on, buffer_done ends the list of buffer kinds on offer.
    const bool listEnds = zwlr_screencopy_frame_v1_get_version(frame) >= 3;
    bool copied =
        DispatchUntil(
            [&] { return state.failed || (state.haveShm && (!listEnds || state.bufferDone)); },
            deadline) &&
        !state.failed && state.haveShm && ScreencopyFormatKnown(state.format);
    void* data = nullptr;
    wl_buffer* buffer = nullptr;
    if (copied) {
        buffer = CreateShmBuffer(state.width, state.height, state.stride, state.format, &data);
        copied = buffer != nullptr;
    }
    if (copied) {
        zwlr_screencopy_frame_v1_copy(frame, buffer);
        copied =
            DispatchUntil([&] { return state.ready || state.failed; }, deadline) && state.ready;
    }
    if (copied) {
        const ScreencopyImage image = {static_cast<const uint8_t*>(data),
                                       state.format,
                                       state.width,
                                       state.height,
                                       state.stride,
                                       state.yInvert};
        copied = ScreencopyToBgr(image, width, height, out);
    }
    zwlr_screencopy_frame_v1_destroy(frame);
    if (buffer)
        wl_buffer_destroy(buffer);
    if (data)
        munmap(data, static_cast<size_t>(state.stride) * static_cast<size_t>(state.height));
    return copied;
}

} // namespace

void SetWaylandPictureFallback(void (*draw)(int width, int height, uint8_t* bgr))
{
    pictureFallback = draw;
}

bool WaylandCapturePrimaryScreen(int width, int height, uint8_t* out)
{
    if (width <= 0 || height <= 0 || !out || !WaylandConnect())
        return false;
    WaylandOutput* output = WaylandSceneOutput();
    const char* failure = nullptr;
    if (!wayland.screencopy)
        failure = "the compositor offers no screencopy";
    else if (!output || !CopyOutput(output, width, height, out))
        failure = "the compositor did not copy the output";
    if (!failure)
        return true;
    std::fprintf(stderr, "brittleview: %s; drawing the program's own picture\n", failure);
    if (!pictureFallback)
        return false;
    pictureFallback(width, height, out);
    return true;
}
