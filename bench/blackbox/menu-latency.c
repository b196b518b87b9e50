/* menu-latency: from a key to the popup menu it opens drawn on the screen,
 * timed from outside on an X server: the key is sent with XTest to the
 * focused window, the menu is the override-redirect window mapped after it,
 * and it counts as drawn at the first XDamage report on it after its map.
 * Escape closes it again before the next round.
 *
 *   menu-latency KEY [rounds]      e.g. menu-latency F7 50
 *
 * Prints each round's time with -v, then a line
 *   SUMMARY n= median_us= p90_us= p99_us= max_us=
 * Build: cc -O2 menu-latency.c -o menu-latency -lX11 -lXtst -lXdamage -lXfixes
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
    if (argc < 2) {
        fprintf(stderr, "usage: menu-latency KEY [rounds] [-v]\n");
        return 2;
    }
    const KeySym sym = XStringToKeysym(argv[1]);
    const int rounds = argc > 2 ? atoi(argv[2]) : 50;
    const int verbose = argc > 3 && strcmp(argv[3], "-v") == 0;
    Display* d = XOpenDisplay(NULL);
    int damage_event, damage_error;
    if (!d || sym == NoSymbol || !XDamageQueryExtension(d, &damage_event, &damage_error)) {
        fprintf(stderr, "menu-latency: no display, key or XDamage\n");
        return 2;
    }
    XSetErrorHandler(ignore_errors);
    const Window root = DefaultRootWindow(d);
    XSelectInput(d, root, SubstructureNotifyMask);
    long long* times = calloc((size_t)rounds, sizeof *times);
    int n = 0;
    Window menu = None;
    Damage damage = None;
    srand(1);
    for (int round = 0; round < rounds; ++round) {
        struct timespec pause = {0, (50 + rand() % 50) * 1000000L};
        nanosleep(&pause, NULL);
        XEvent e;
        while (XPending(d))
            XNextEvent(d, &e);
        const long long sent = now_us();
        key(d, sym);
        long long mapped = 0, drawn = 0;
        while (!drawn && next_event(d, &e, 2000)) {
            if (e.type == CreateNotify && e.xcreatewindow.override_redirect) {
                /* A window made for the menu: watched from its making, so
                 * that no drawing is missed. */
                if (damage != None)
                    XDamageDestroy(d, damage);
                menu = e.xcreatewindow.window;
                damage = XDamageCreate(d, menu, XDamageReportRawRectangles);
            } else if (e.type == MapNotify && e.xmap.override_redirect) {
                if (e.xmap.window != menu) {
                    if (damage != None)
                        XDamageDestroy(d, damage);
                    menu = e.xmap.window;
                    damage = XDamageCreate(d, menu, XDamageReportRawRectangles);
                }
                mapped = now_us();
            } else if (e.type == damage_event + XDamageNotify && mapped &&
                       ((XDamageNotifyEvent*)&e)->drawable == menu) {
                drawn = now_us();
            }
        }
        if (drawn) {
            times[n++] = drawn - sent;
            if (verbose)
                printf("%d %lld us (mapped after %lld us)\n", round, drawn - sent, mapped - sent);
        } else if (verbose) {
            printf("%d: no menu drawn\n", round);
        }
        key(d, XK_Escape);
        /* Closed before the next round. */
        while (next_event(d, &e, 1000)) {
            if (e.type == UnmapNotify && e.xunmap.window == menu)
                break;
        }
    }
    if (n == 0) {
        printf("SUMMARY n=0\n");
        return 1;
    }
    qsort(times, (size_t)n, sizeof *times, compare);
    printf("SUMMARY n=%d median_us=%lld p90_us=%lld p99_us=%lld max_us=%lld\n", n, times[n / 2],
           times[n * 9 / 10], times[n * 99 / 100], times[n - 1]);
    return 0;
}
