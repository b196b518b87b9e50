#!/usr/bin/env bash
# Runs a command as a Wayland client of a headless sway, with the desktop
# portal (xdg-desktop-portal with its wlroots back end, on PipeWire) on a
# private session bus: the real stack a Wayland desktop gives the Eye Wizard;
# then the same command as an X11 client of the session's XWayland, and as a
# Wayland client again with the output scaled by two.
# Everything runs as an unprivileged user (sway refuses root) and is stopped
# by process id at the end. Exits 77 (skipped) only on a machine without the
# stack's packages ('make test' installs them); with them installed, a stack
# that does not come up is a failure, shown with its logs.
set -u
SKIP=77
FAIL=1
for tool in sway swaybg pipewire dbus-daemon grim Xwayland wayvnc wl-paste \
            /usr/libexec/xdg-desktop-portal \
            /usr/libexec/xdg-desktop-portal-wlr; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit $SKIP; }
done
if [ "$(id -u)" = 0 ]; then
    base=$(mktemp -d)
    chown 65534:65534 "$base"
    exec setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$base" "$0" "$@"
fi
base=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$base"
}
trap cleanup EXIT
export HOME="$base" XDG_RUNTIME_DIR="$base/run" XDG_CURRENT_DESKTOP=sway
mkdir -m 700 "$XDG_RUNTIME_DIR"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
cat > "$base/sway.conf" <<CONF
output HEADLESS-1 resolution 1024x768 position 0 0
output HEADLESS-1 bg #123456 solid_color
xwayland enable
exec echo "\$DISPLAY" > $base/display
default_border none
default_floating_border none
CONF

dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$base/bus" 4>"$base/buspid" || exit $FAIL
pids+=("$(cat "$base/buspid")")
export DBUS_SESSION_BUS_ADDRESS=$(cat "$base/bus")
pipewire > "$base/pipewire.log" 2>&1 &
pids+=($!)
sway -c "$base/sway.conf" > "$base/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    ls "$XDG_RUNTIME_DIR"/wayland-* > /dev/null 2>&1 && break
    sleep 0.05
done
WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* 2> /dev/null | grep -v lock | head -n1)
if [ -z "$WAYLAND_DISPLAY" ]; then
    echo "FAIL: sway did not start"; cat "$base/sway.log"; exit $FAIL
fi
export WAYLAND_DISPLAY
SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2> /dev/null | head -n1)
export SWAYSOCK # swaymsg finds the windows' places through it
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR
sleep 0.5 # swaybg paints the background
# The first call starts the portal, which offers its interfaces once it has
# found its back ends: ask again for a while.
offered=
for _ in $(seq 50); do
    if gdbus introspect --session --dest org.freedesktop.portal.Desktop \
            --object-path /org/freedesktop/portal/desktop 2>&1 | grep -q "org.freedesktop.portal.Screenshot"; then
        offered=1
        break
    fi
    sleep 0.1
done
if [ -z "$offered" ]; then
    echo "FAIL: the portal offers no screenshots"; cat "$base"/*.log; exit $FAIL
fi
# The stack must take a screenshot at all before the test asks for one. The
# portal answers its caller alone, so look for the file the wlroots back end
# writes instead.
rm -f /tmp/out.png
gdbus call --session --dest org.freedesktop.portal.Desktop --object-path /org/freedesktop/portal/desktop \
    --method org.freedesktop.portal.Screenshot.Screenshot "" "{'interactive': <false>}" > /dev/null 2>&1
for _ in $(seq 50); do
    [ -s /tmp/out.png ] && break
    sleep 0.1
done
if ! [ -s /tmp/out.png ]; then
    echo "FAIL: the portal takes no screenshot"; cat "$base"/*.log; exit $FAIL
fi
rm -f /tmp/out.png # ours: not left behind

# A VNC server on the session: the tests' pointer, as the seat's own.
wayvnc -u "$base/vnc.sock" > "$base/wayvnc.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    [ -S "$base/vnc.sock" ] && break
    sleep 0.05
done
if ! [ -S "$base/vnc.sock" ]; then
    echo "FAIL: wayvnc did not start"; cat "$base/wayvnc.log"; exit $FAIL
fi
export MIRABOU_REAL_PORTAL=1 MIRABOU_VNC_SOCKET="$base/vnc.sock" MIRABOU_OUTPUT_SCALE=1
QT_QPA_PLATFORM=wayland "$@"
rc=$?
rm -f /tmp/out.png
display=$(cat "$base/display" 2> /dev/null)
if [ -z "$display" ]; then
    echo "FAIL: sway started no XWayland"; cat "$base/sway.log"; exit $FAIL
fi
DISPLAY=$display QT_QPA_PLATFORM=xcb "$@" || rc=$?
rm -f /tmp/out.png
# And on an output scaled by two.
swaymsg output HEADLESS-1 scale 2 > /dev/null || { echo "FAIL: sway cannot scale"; exit $FAIL; }
sleep 0.5 # the background drawn again
MIRABOU_OUTPUT_SCALE=2 QT_QPA_PLATFORM=wayland "$@" || rc=$?
rm -f /tmp/out.png
exit $rc
