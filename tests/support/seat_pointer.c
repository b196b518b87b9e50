/* A pointer for the tests on a Wayland desktop, anywhere in its layout:
 * on KWin through its fake input protocol, which KWin offers only to a
 * program whose desktop file asks for it
 * (X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input); on a wlroots
 * compositor through its virtual pointer protocol, in absolute moves over
 * the layout of WIDTH x HEIGHT points given on the command line.
 *
 * Prints "ready" once it may move the pointer, then reads lines of
 * "X Y PRESSED" (the desktop's logical place, the left button down or up
 * there) and answers each with "ok" once the compositor has taken it. Exits
 * 1 when the compositor gives it no pointer. */
#include "fake-input-client-protocol.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

enum { LeftButton = 0x110 }; /* BTN_LEFT */

/* The wlroots virtual pointer protocol (zwlr_virtual_pointer_v1, version 1),
 * its requests in the protocol's order; the tests use a few of them. */
extern const struct wl_interface zwlr_virtual_pointer_v1_interface;
static const struct wl_interface* wlr_types[] = {
    NULL, NULL, NULL, NULL, NULL, &wl_seat_interface, &zwlr_virtual_pointer_v1_interface};
static const struct wl_message wlr_pointer_requests[] = {
    {"motion", "uff", wlr_types},   {"motion_absolute", "uuuuu", wlr_types},
    {"button", "uuu", wlr_types},   {"axis", "uuf", wlr_types},
    {"frame", "", wlr_types},       {"axis_source", "u", wlr_types},
    {"axis_stop", "uu", wlr_types}, {"axis_discrete", "uufi", wlr_types},
    {"destroy", "", wlr_types}};
const struct wl_interface zwlr_virtual_pointer_v1_interface = {"zwlr_virtual_pointer_v1", 1, 9,
                                                               wlr_pointer_requests,      0, NULL};
static const struct wl_message wlr_manager_requests[] = {
    {"create_virtual_pointer", "?on", wlr_types + 5}};
static const struct wl_interface zwlr_virtual_pointer_manager_v1_interface = {
    "zwlr_virtual_pointer_manager_v1", 1, 1, wlr_manager_requests, 0, NULL};
enum { WlrMotionAbsolute = 1, WlrButton = 2, WlrFrame = 4, WlrCreate = 0 };

static struct org_kde_kwin_fake_input* kwin;
static struct wl_proxy* wlr_manager;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3)
        kwin = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        wlr_manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

int main(int argc, char** argv) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        puts("no Wayland display");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, NULL);
    wl_display_roundtrip(display);
    struct wl_proxy* wlr = NULL;
    unsigned width = argc > 2 ? (unsigned)atoi(argv[1]) : 0;
    unsigned height = argc > 2 ? (unsigned)atoi(argv[2]) : 0;
    if (kwin) {
        org_kde_kwin_fake_input_authenticate(kwin, "Mirabou tests", "drives the pointer");
    } else if (wlr_manager && width > 0 && height > 0) {
        wlr = wl_proxy_marshal_flags(wlr_manager, WlrCreate, &zwlr_virtual_pointer_v1_interface, 1,
                                     0, NULL, NULL);
    } else {
        puts("the compositor offers no pointer to this program (or no layout size was given)");
        return 1;
    }
    wl_display_roundtrip(display);
    puts("ready");
    fflush(stdout);
    double x, y, last_x = -1, last_y = -1;
    int pressed, down = 0;
    uint32_t time = 0;
    while (scanf("%lf %lf %d", &x, &y, &pressed) == 3) {
        if (kwin) {
            org_kde_kwin_fake_input_pointer_motion_absolute(kwin, wl_fixed_from_double(x),
                                                            wl_fixed_from_double(y));
            if (pressed != down)
                org_kde_kwin_fake_input_button(kwin, LeftButton, pressed ? 1 : 0);
        } else {
            time += 10;
            /* As a real pointer, no move where it stays: a release where the
             * pointer stopped comes alone. */
            if (x != last_x || y != last_y)
                wl_proxy_marshal_flags(wlr, WlrMotionAbsolute, NULL, 1, 0, time, (uint32_t)x,
                                       (uint32_t)y, width, height);
            if (pressed != down)
                wl_proxy_marshal_flags(wlr, WlrButton, NULL, 1, 0, time, LeftButton,
                                       pressed ? 1 : 0);
            wl_proxy_marshal_flags(wlr, WlrFrame, NULL, 1, 0);
        }
        down = pressed;
        last_x = x;
        last_y = y;
        if (wl_display_roundtrip(display) < 0)
            return 1;
        puts("ok");
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
