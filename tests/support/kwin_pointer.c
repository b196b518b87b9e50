/* A pointer for the tests on KWin, through its fake input protocol, which
 * KWin offers only to a program whose desktop file asks for it
 * (X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input).
 *
 * Prints "ready" once it may move the pointer, then reads lines of
 * "X Y PRESSED" (the desktop's logical place, the left button down or up
 * there) and answers each with "ok" once KWin has taken it. Exits 1 when
 * KWin gives it no pointer. */
#include "fake-input-client-protocol.h"

#include <stdio.h>
#include <string.h>
#include <wayland-client.h>

enum { LeftButton = 0x110 }; /* BTN_LEFT */

static struct org_kde_kwin_fake_input* input;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 3)
        input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 3);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener listener = {global, global_remove};

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        puts("no Wayland display");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, NULL);
    wl_display_roundtrip(display);
    if (!input) {
        puts("KWin offers no fake input to this program");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "Mirabou tests", "drives the pointer");
    wl_display_roundtrip(display);
    puts("ready");
    fflush(stdout);
    double x, y;
    int pressed, down = 0;
    while (scanf("%lf %lf %d", &x, &y, &pressed) == 3) {
        org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_double(x),
                                                        wl_fixed_from_double(y));
        if (pressed != down) {
            org_kde_kwin_fake_input_button(input, LeftButton, pressed ? 1 : 0);
            down = pressed;
        }
        if (wl_display_roundtrip(display) < 0)
            return 1;
        puts("ok");
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
