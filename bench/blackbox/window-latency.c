/* window-latency: from a key to the window it opens drawn on the screen,
 * timed from outside on an X server: the key is sent with XTest to the
 * focused window; the window is the first top-level window made after the
 * first key (watched from its making), and it counts as drawn at the first
 * XDamage report on it after its map. Escape closes it again and the focus
 * goes back to the window that took the key before the next round, so each
 * later round shows the same window anew.
 *
 *   window-latency KEY WINDOW [rounds] [-v]    e.g. window-latency F8 0x400007 21
 *
 * WINDOW is the window that takes the key. Prints each round's time with
 * -v, then a line
 *   SUMMARY n= first_us= median_us= p90_us= max_us=
 * Build: cc -O2 window-latency.c -o window-latency -lX11 -lXtst -lXdamage
 */
#include "key-timing.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: window-latency KEY WINDOW [rounds] [-v]\n");
        return 2;
    }
    const KeySym sym = XStringToKeysym(argv[1]);
    const Window owner = (Window)strtoul(argv[2], NULL, 0);
    const int rounds = argc > 3 ? atoi(argv[3]) : 21;
    const int verbose = argc > 4 && strcmp(argv[4], "-v") == 0;
    Display* d = XOpenDisplay(NULL);
    int damage_event, damage_error;
    if (!d || sym == NoSymbol || !owner ||
        !XDamageQueryExtension(d, &damage_event, &damage_error)) {
        fprintf(stderr, "window-latency: no display, key, window or XDamage\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    long long* times = calloc((size_t)rounds, sizeof *times);
    long long first = 0;
    int n = 0;
    Window shown = None;
    Damage damage = None;
    srand(1);
    for (int round = 0; round < rounds; ++round) {
        struct timespec pause = {0, (200 + rand() % 100) * 1000000L};
        nanosleep(&pause, NULL);
        XSetInputFocus(d, owner, RevertToParent, CurrentTime);
        XSync(d, False);
        nanosleep(&pause, NULL);
        XEvent e;
        while (XPending(d))
            XNextEvent(d, &e);
        const long long sent = now_us();
        key(d, sym);
        long long mapped = 0, drawn = 0;
        while (!drawn && next_event(d, &e, 5000)) {
            if (e.type == CreateNotify && !e.xcreatewindow.override_redirect && shown == None &&
                e.xcreatewindow.parent == root) {
                shown = e.xcreatewindow.window;
                XSelectInput(d, shown, StructureNotifyMask);
                damage = XDamageCreate(d, shown, XDamageReportRawRectangles);
            } else if (e.type == MapNotify && e.xmap.window == shown) {
                mapped = now_us();
            } else if (e.type == damage_event + XDamageNotify && mapped &&
                       ((XDamageNotifyEvent*)&e)->drawable == shown) {
                drawn = now_us();
            }
        }
        if (drawn) {
            if (round == 0)
                first = drawn - sent;
            else
                times[n++] = drawn - sent;
            if (verbose)
                printf("%d %lld us (mapped after %lld us)\n", round, drawn - sent, mapped - sent);
        } else if (verbose) {
            printf("%d: no window drawn\n", round);
        }
        if (shown == None)
            continue;
        XSetInputFocus(d, shown, RevertToParent, CurrentTime);
        XSync(d, False);
        key(d, XK_Escape);
        while (next_event(d, &e, 2000)) {
            if (e.type == UnmapNotify && e.xunmap.window == shown)
                break;
        }
    }
    (void)damage;
    if (n == 0) {
        printf("SUMMARY n=0 first_us=%lld\n", first);
        return 1;
    }
    qsort(times, (size_t)n, sizeof *times, compare);
    printf("SUMMARY n=%d first_us=%lld median_us=%lld p90_us=%lld max_us=%lld\n", n, first,
           times[n / 2], times[n * 9 / 10], times[n - 1]);
    return 0;
}
