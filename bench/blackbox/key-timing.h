/* What menu-latency and window-latency share: a monotonic clock in
 * microseconds, an XTest key press and release, the next X event within a
 * time, sorting times, and an error handler for windows gone meanwhile. */
#ifndef KEY_TIMING_H
#define KEY_TIMING_H

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <time.h>

static long long now_us(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

static int compare(const void* a, const void* b) {
    const long long x = *(const long long*)a, y = *(const long long*)b;
    return (x > y) - (x < y);
}

static void key(Display* d, KeySym sym) {
    const KeyCode code = XKeysymToKeycode(d, sym);
    XTestFakeKeyEvent(d, code, True, CurrentTime);
    XTestFakeKeyEvent(d, code, False, CurrentTime);
    XFlush(d);
}

/* The next event, or 0 when none came within ms. */
static int next_event(Display* d, XEvent* e, int ms) {
    const long long until = now_us() + (long long)ms * 1000;
    while (!XPending(d)) {
        const long long left = until - now_us();
        if (left <= 0)
            return 0;
        struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
        poll(&p, 1, (int)(left / 1000) + 1);
    }
    XNextEvent(d, e);
    return 1;
}

/* A window may be gone by the time a request about it arrives. */
static int ignore_errors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

#endif
