// The connection, its registry and the outputs. Outputs are kept in the
// order the compositor listed them; an output becomes ready on its first
// "done" (then its mode and scale are known) and is handed to the window
// code, which covers it while the saver runs. A global that goes away takes
// its output along, the window code hearing of it first.
#include "platform/wayland/wayland_connection.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "wlr-layer-shell-unstable-v1-client.h"
#include "wlr-screencopy-unstable-v1-client.h"
#include "xdg-shell-client.h"

WaylandState wayland;

namespace {

WaylandOutputHooks outputHooks = {nullptr, nullptr};

void OnGeometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t,
                const char*, const char*, int32_t)
{
    auto* output = static_cast<WaylandOutput*>(data);
    output->x = x;
    output->y = y;
}

void OnMode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
{
    auto* output = static_cast<WaylandOutput*>(data);
    if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
        output->modeWidth = width;
        output->modeHeight = height;
    }
}

void OnDone(void* data, wl_output*)
{
    auto* output = static_cast<WaylandOutput*>(data);
    if (output->ready)
        return;
    output->ready = true;
    if (outputHooks.ready)
        outputHooks.ready(output);
}

void OnScale(void* data, wl_output*, int32_t factor)
{
    static_cast<WaylandOutput*>(data)->scale = factor > 0 ? factor : 1;
}

void OnName(void*, wl_output*, const char*) {}
void OnDescription(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone,
                                            OnScale,    OnName, OnDescription};

void OnPing(void*, xdg_wm_base* base, uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener kWmBaseListener = {OnPing};

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        wayland.compositor =
            Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        wayland.shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        wayland.wmBase = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 1);
        xdg_wm_base_add_listener(wayland.wmBase, &kWmBaseListener, nullptr);
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        wayland.layerShell =
            Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
        wayland.screencopy = Bind<zwlr_screencopy_manager_v1>(
            registry, name, &zwlr_screencopy_manager_v1_interface, version, 3);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !wayland.seat) {
        wayland.seat = Bind<wl_seat>(registry, name, &wl_seat_interface, version, 5);
        ListenToWaylandSeat(wayland.seat);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        auto output = std::make_unique<WaylandOutput>();
        output->name = name;
        output->output = Bind<wl_output>(registry, name, &wl_output_interface, version, 3);
        wl_output_add_listener(output->output, &kOutputListener, output.get());
        wayland.outputs.push_back(std::move(output));
    }
}

void DestroyOutput(WaylandOutput* output)
{
    if (!output->output)
        return;
    if (wl_output_get_version(output->output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
        wl_output_release(output->output);
    else
        wl_output_destroy(output->output);
}

void OnGlobalRemove(void*, wl_registry*, uint32_t name)
{
    auto& outputs = wayland.outputs;
    for (auto it = outputs.begin(); it != outputs.end(); ++it) {
        if ((*it)->name != name)
            continue;
        if (outputHooks.gone)
            outputHooks.gone(it->get());
        DestroyOutput(it->get());
        outputs.erase(it);
        return;
    }
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

} // namespace

int WaylandOutput::PixelWidth() const
{
    return configured && width > 0 ? width * scale : modeWidth;
}

int WaylandOutput::PixelHeight() const
{
    return configured && height > 0 ? height * scale : modeHeight;
}

bool WaylandConnect()
{
    if (wayland.display)
        return true;
    wayland.display = wl_display_connect(nullptr);
    if (!wayland.display)
        return false;
    wayland.registry = wl_display_get_registry(wayland.display);
    wl_registry_add_listener(wayland.registry, &kRegistryListener, nullptr);
    // The first round trip lists the globals; the second brings what the
    // bound outputs and the seat tell about themselves.
    if (wl_display_roundtrip(wayland.display) < 0 || wl_display_roundtrip(wayland.display) < 0 ||
        !wayland.compositor) {
        WaylandDisconnect();
        return false;
    }
    return true;
}

void WaylandDisconnect()
{
    if (!wayland.display)
        return;
    for (auto& output : wayland.outputs)
        DestroyOutput(output.get());
    wayland.outputs.clear();
    ReleaseWaylandSeat();
    wl_display_disconnect(wayland.display); // frees every proxy it still holds
    wayland = WaylandState();
}

void SetWaylandOutputHooks(const WaylandOutputHooks& hooks)
{
    outputHooks = hooks;
}

WaylandOutput* FindWaylandOutput(wl_surface* surface)
{
    for (auto& output : wayland.outputs)
        if (surface && output->surface == surface)
            return output.get();
    return nullptr;
}

wl_buffer* CreateShmBuffer(int width, int height, int stride, uint32_t format, void** data)
{
    if (!wayland.shm || width <= 0 || height <= 0 || stride < width * 4)
        return nullptr;
    const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
    const int fd = memfd_create("brittleview-shm", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    wl_buffer* buffer = nullptr;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
        void* mapped = MAP_FAILED;
        if (data)
            mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (!data || mapped != MAP_FAILED) {
            wl_shm_pool* pool = wl_shm_create_pool(wayland.shm, fd, static_cast<int32_t>(size));
            buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
            wl_shm_pool_destroy(pool);
            if (data)
                *data = mapped;
        }
    }
    close(fd);
    return buffer;
}

wl_buffer* CreateBlackBuffer(int width, int height)
{
    return CreateShmBuffer(width, height, width * 4, WL_SHM_FORMAT_XRGB8888, nullptr);
}
