#!/usr/bin/env bash
# Runs a command under a private Xvfb on a free display and stops the server
# by its process id afterwards. -noreset keeps the root window's colour when
# the last client leaves. With --wm first, openbox manages the windows, so
# frames, stacking and the close button are real.
set -u
wm=0
if [ "${1:-}" = "--wm" ]; then
    wm=1
    shift
fi
if ! command -v Xvfb >/dev/null; then
    echo "with-xvfb: Xvfb is not installed (run 'make test' to set it up)" >&2
    exit 1
fi
tmp=$(mktemp -d)
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$tmp/display" 2>"$tmp/log" &
pid=$!
for _ in $(seq 200); do
    [ -s "$tmp/display" ] && break
    sleep 0.05
done
if ! [ -s "$tmp/display" ]; then
    echo "with-xvfb: Xvfb did not start" >&2
    cat "$tmp/log" >&2
    kill "$pid" 2>/dev/null
    rm -rf "$tmp"
    exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$tmp/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
wmpid=
if [ "$wm" = 1 ]; then
    openbox --sm-disable >"$tmp/wm.log" 2>&1 &
    wmpid=$!
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
fi
"$@"
rc=$?
[ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null && wait "$wmpid" 2>/dev/null
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
rm -rf "$tmp"
exit $rc
