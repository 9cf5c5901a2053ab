// Test client: a virtual pointer on the compositor in WAYLAND_DISPLAY that
// performs its arguments in order, with a round trip and a pause after each,
// and names each on standard output once done: "DX,DY" moves the pointer by
// that many pixels, "click" clicks the left button, "wait" reads a line of input.
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <wayland-client.h>

#include "virtual_pointer-client.h"

static struct zwlr_virtual_pointer_manager_v1* manager;

static void Global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version)
{
    (void)data;
    (void)version;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void GlobalRemove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registryListener = {Global, GlobalRemove};

int main(int argc, char** argv)
{
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "virtual_pointer: no compositor\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, NULL);
    wl_display_roundtrip(display);
    if (manager == NULL) {
        fprintf(stderr, "virtual_pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, NULL);
    wl_display_roundtrip(display);
    usleep(300000); // the seat announces the new pointer to every client
    uint32_t time = 1;
    for (int i = 1; i < argc; ++i, time += 10) {
        int dx = 0;
        int dy = 0;
        if (strcmp(argv[i], "wait") == 0) {
            char line[16];
            if (fgets(line, sizeof line, stdin) == NULL)
                return 2;
        } else if (strcmp(argv[i], "click") == 0) {
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
            zwlr_virtual_pointer_v1_button(pointer, time + 1, BTN_LEFT,
                                           WL_POINTER_BUTTON_STATE_RELEASED);
        } else if (sscanf(argv[i], "%d,%d", &dx, &dy) == 2) {
            zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_int(dx),
                                           wl_fixed_from_int(dy));
        } else {
            fprintf(stderr, "virtual_pointer: DX,DY, click or wait, not %s\n", argv[i]);
            return 2;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        usleep(300000);
        printf("%s\n", argv[i]);
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
