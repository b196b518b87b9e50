#!/usr/bin/env bash
# Usage: portal_stack.sh DESKTOP TST_PORTAL SEAT_POINTER
#        portal_stack.sh --bench DESKTOP BENCH_FIRST_COLOUR SEAT_POINTER
#        portal_stack.sh --soak DESKTOP BENCH_SOAK SEAT_POINTER [PICKS]
# Brings up a real Wayland desktop, headless, with its own desktop portal on
# a private session bus and runtime folder, and runs the rows of
# 'TST_PORTAL realPortal' that belong to it:
#   wlroots  sway with xdg-desktop-portal-wlr (screenshots by grim), pointer
#            through the tests' client of its virtual pointer, keys through
#            wayvnc; also as an X11 client of its XWayland, on an output
#            scaled by two and by 1.5, and on two outputs at scales one and
#            two, and one and 1.5
#   gnome    gnome-shell with xdg-desktop-portal-gnome, pointer through
#            mutter's remote desktop; first with the screenshot permission
#            not granted (the desktop's question left open), then granted as
#            the permission store keeps it; a monitor scaled by two, and two
#            monitors at scales one and two
#   kde      kwin_wayland with xdg-desktop-portal-kde, pointer through the
#            tests' client of KWin's fake input; also mirabou --pick --copy,
#            the portal's back end dying during the request, an output
#            scaled by two and by 1.5, and two outputs at scales one and two
# With --bench, the desktop's output is 1920x1080 and then 3840x2160, and
# BENCH_FIRST_COLOUR prints a line of its table for each. With --soak,
# BENCH_SOAK picks PICKS times (300 by default) with the whole program and
# prints a line of its table.
# Everything runs as an unprivileged user (the compositors refuse root) and
# is stopped by process id at the end. Exits 77 (skipped) only on a machine
# without the stack's packages ('make test' installs them); with them
# installed, a stack that does not come up is a failure, shown with its logs.
set -u
SKIP=77
FAIL=1
arguments=("$@") # as given, for the unprivileged run
bench= soak=
if [ "${1:-}" = --bench ]; then
    bench=1
    shift
elif [ "${1:-}" = --soak ]; then
    soak=${5:-300}
    shift
fi
desktop=${1:?desktop}
test=${2:?test program}
seat_pointer=${3:-} # the tests' pointer on sway and KWin
case $desktop in
wlroots) tools="sway swaybg grim Xwayland wayvnc wl-paste /usr/libexec/xdg-desktop-portal-wlr
             ${seat_pointer:-seat_pointer}" ;;
gnome) tools="gnome-shell /usr/libexec/xdg-desktop-portal-gnome" ;;
kde) tools="kwin_wayland kbuildsycoca5 kscreen-doctor
          /usr/lib/x86_64-linux-gnu/libexec/xdg-desktop-portal-kde wl-paste
          ${seat_pointer:-seat_pointer}" ;;
*) echo "FAIL: no desktop called $desktop"; exit $FAIL ;;
esac
for tool in pipewire dbus-daemon gdbus /usr/libexec/xdg-desktop-portal $tools; do
    command -v "$tool" > /dev/null || { echo "SKIP: $tool is not installed"; exit $SKIP; }
done
if [ "$(id -u)" = 0 ]; then
    base=$(mktemp -d)
    chown 65534:65534 "$base"
    exec setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$base" "$0" "${arguments[@]}"
fi
base=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    # The document portal, started by the desktop portal, mounts itself in
    # the runtime folder.
    fusermount3 -u "$XDG_RUNTIME_DIR/doc" 2>/dev/null || fusermount -u "$XDG_RUNTIME_DIR/doc" 2>/dev/null
    rm -rf "$base"
}
trap cleanup EXIT
logs() {
    for log in "$base"/*.log; do echo "--- $log"; tail -n 40 "$log"; done
}
fail() {
    echo "FAIL: $*"
    logs
    exit $FAIL
}
# A fresh user: home, runtime folder, Pictures folder, session bus.
export HOME="$base/home" XDG_RUNTIME_DIR="$base/run" XDG_SESSION_TYPE=wayland
mkdir -p "$HOME/.config" "$HOME/Pictures"
mkdir -m 700 "$XDG_RUNTIME_DIR"
echo 'XDG_PICTURES_DIR="$HOME/Pictures"' > "$HOME/.config/user-dirs.dirs"
# wait_for SECONDS COMMAND...: runs the command every 50 ms until it
# succeeds; fails when it never does.
wait_for() {
    local tries=$(($1 * 20))
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}
# The bus's log holds what the services it starts print (the portals).
bus() {
    dbus-daemon --session --nofork --print-address=3 3> "$base/$1.address" > "$base/$1.log" 2>&1 &
    pids+=($!)
    wait_for 5 test -s "$base/$1.address" || fail "no $1 bus"
}
bus session
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$base/session.address")
export DBUS_SESSION_BUS_ADDRESS
pipewire > "$base/pipewire.log" 2>&1 &
pids+=($!)

# offers SERVICE PATH INTERFACE: whether a service on the session bus offers
# the interface at the path.
offers() {
    gdbus introspect --session --dest "$1" --object-path "$2" 2> /dev/null | grep -q "interface $3 "
}
# Waits until the portal offers screenshots; its first call starts it, and
# it offers its interfaces once it has found its back ends.
wait_for_portal() {
    wait_for 10 offers org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
        org.freedesktop.portal.Screenshot || fail "the portal offers no screenshots"
}
rc=0
row() { # row NAME [VAR=VALUE...]: one row of the test, in the stack's environment
    local name=$1
    shift
    call "realPortal:$name" "$@"
}
rows=0
call() { # call FUNCTION[:ROW] [VAR=VALUE...]: one test function, in the stack's environment
    local function=$1
    shift
    # Each its own Pictures folder, where GNOME's and KDE's portals put their
    # pictures: what one leaves behind is its own failure, never the next's.
    rows=$((rows + 1))
    mv "$HOME/Pictures" "$base/pictures-before-$rows"
    mkdir "$HOME/Pictures"
    env "$@" "$test" "$function" || { rc=1; logs; } # what the desktop and its portal said
    left_behind "$function" "$HOME/Pictures"/*
}
# left_behind WHAT FILE...: fails WHAT for every picture that it left.
left_behind() {
    local what=$1 file
    shift
    for file in "$@"; do
        [ -e "$file" ] || continue
        echo "FAIL: $what left a picture behind: $file"
        rc=1
    done
}
export MIRABOU_REAL_PORTAL=$desktop MIRABOU_SEAT_POINTER=$seat_pointer

start_wlroots() {
    # xdg-desktop-portal-wlr has grim write every screenshot to /tmp/out.png:
    # one sway stack at a time on the machine, whoever else runs one.
    exec 8> /tmp/mirabou-wlroots-stack.lock
    flock 8
    export XDG_CURRENT_DESKTOP=sway WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
    cat > "$base/sway.conf" <<CONF
output HEADLESS-1 resolution ${SWAY_OUTPUT:-1024x768} position 0 0
output HEADLESS-1 bg #123456 solid_color
output HEADLESS-2 resolution 800x600 position 1024 0 scale 2
output HEADLESS-2 bg #654321 solid_color
xwayland enable
exec echo "\$DISPLAY" > $base/display
default_border none
default_floating_border none
CONF
    sway -c "$base/sway.conf" > "$base/sway.log" 2>&1 &
    pids+=($!)
    export MIRABOU_COMPOSITOR_PID=$!
    wait_for 5 compgen -G "$XDG_RUNTIME_DIR/wayland-*" > /dev/null
    WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-* 2> /dev/null | grep -v lock | head -n1)
    [ -n "$WAYLAND_DISPLAY" ] || fail "sway did not start"
    export WAYLAND_DISPLAY
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2> /dev/null | head -n1)
    export SWAYSOCK # swaymsg finds the windows' places through it
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR
    sleep 0.5 # swaybg paints the background
    wait_for_portal
    # The stack must take a screenshot at all before the test asks for one
    # (without grim every screenshot fails). The portal answers its caller
    # alone, so look for the file the wlroots back end writes instead.
    rm -f /tmp/out.png
    gdbus call --session --dest org.freedesktop.portal.Desktop \
        --object-path /org/freedesktop/portal/desktop \
        --method org.freedesktop.portal.Screenshot.Screenshot "" "{'interactive': <false>}" > /dev/null 2>&1
    wait_for 5 test -s /tmp/out.png || fail "the portal takes no screenshot"
    rm -f /tmp/out.png # ours: not left behind
    # A VNC server on the session: the tests' keys, as the seat's own.
    wayvnc -u "$base/vnc.sock" > "$base/wayvnc.log" 2>&1 &
    pids+=($!)
    wait_for 5 test -S "$base/vnc.sock" || fail "wayvnc did not start"
    export MIRABOU_VNC_SOCKET="$base/vnc.sock"
}

# on_sway COMMAND...: a row or call on sway, whose portal's screenshots grim
# writes to /tmp/out.png: the program removes those made for it.
on_sway() {
    "$@"
    left_behind "$*" /tmp/out.png
    rm -f /tmp/out.png
}

# sway_outputs MESSAGE...: sway's outputs changed, and their backgrounds
# drawn again.
sway_outputs() {
    swaymsg "$@" > /dev/null || fail "sway cannot: $*"
    sleep 0.5
}

run_wlroots() {
    on_sway row wlroots QT_QPA_PLATFORM=wayland
    on_sway call realPickCommand QT_QPA_PLATFORM=offscreen
    local display
    display=$(cat "$base/display" 2> /dev/null)
    [ -n "$display" ] || fail "sway started no XWayland"
    on_sway row "wlroots xwayland" DISPLAY="$display" QT_QPA_PLATFORM=xcb
    sway_outputs output HEADLESS-1 scale 2
    on_sway row "wlroots scale 2" QT_QPA_PLATFORM=wayland
    # By 1.5: Qt draws at two, sway shrinks it (the same logical size).
    sway_outputs output HEADLESS-1 resolution 1536x1152 scale 1.5
    on_sway row "wlroots scale 1.5" QT_QPA_PLATFORM=wayland
    # A second output beside the first, each its own background: at scale
    # two (its configuration places and paints it), then at 1.5 (the same
    # logical size). It stays once made.
    sway_outputs output HEADLESS-1 resolution 1024x768 scale 1
    sway_outputs create_output
    on_sway row "wlroots two outputs 1 and 2" QT_QPA_PLATFORM=wayland
    sway_outputs output HEADLESS-2 resolution 600x450 scale 1.5
    on_sway row "wlroots two outputs 1 and 1.5" QT_QPA_PLATFORM=wayland
    # Last: the compositor ends under the program (the test itself draws
    # nothing, so that it outlives the compositor).
    call realDisplayEnds QT_QPA_PLATFORM=offscreen
}

# shell_says CODE: whether the shell's evaluation of CODE is true.
shell_says() {
    gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
        --method org.gnome.Shell.Eval "$1" 2> /dev/null | grep -q "true, 'true'"
}

# display_config METHOD ARGUMENTS...: mutter's monitor configuration.
display_config() {
    gdbus call --session --dest org.gnome.Mutter.DisplayConfig \
        --object-path /org/gnome/Mutter/DisplayConfig \
        --method "org.gnome.Mutter.DisplayConfig.$1" "${@:2}"
}

start_gnome() {
    export XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile
    # gnome-shell will not start without a system bus; a private one serves.
    bus system
    DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$base/system.address")
    export DBUS_SYSTEM_BUS_ADDRESS
    # An extension of the tests' own puts the shell in its unsafe mode, so
    # that the tests may ask it where the windows are.
    local extension="$HOME/.local/share/gnome-shell/extensions/tests@mirabou"
    mkdir -p "$extension"
    echo '{"uuid": "tests@mirabou", "name": "Mirabou tests", "description": "Lets the tests look",
           "shell-version": ["43"]}' > "$extension/metadata.json"
    printf '%s\n' 'function init() {}' \
        'function enable() { global.context.unsafe_mode = true; }' \
        'function disable() { global.context.unsafe_mode = false; }' > "$extension/extension.js"
    gsettings set org.gnome.shell enabled-extensions "['tests@mirabou']"
    gsettings set org.gnome.desktop.background picture-options none
    gsettings set org.gnome.desktop.background primary-color '#123456'
    gsettings set org.gnome.desktop.background color-shading-type solid
    gsettings set org.gnome.desktop.interface enable-animations false
    gsettings set org.gnome.desktop.notifications show-banners false
    gsettings set org.gnome.desktop.session idle-delay 0
    export WAYLAND_DISPLAY=wayland-mirabou
    # Two monitors, the second switched off until the tests want it.
    gnome-shell --headless --wayland --no-x11 --virtual-monitor "${GNOME_MONITOR:-2048x1536}" \
        --virtual-monitor "${GNOME_SECOND:-1600x1200}" --wayland-display="$WAYLAND_DISPLAY" \
        > "$base/gnome-shell.log" 2>&1 &
    pids+=($!)
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR \
        XDG_SESSION_TYPE GSETTINGS_BACKEND DBUS_SYSTEM_BUS_ADDRESS
    wait_for 15 shell_says 'global.context.unsafe_mode' ||
        fail "gnome-shell did not start, or without the tests' extension"
    # The shell starts in its overview, once its start-up is over; the
    # desktop is what a user works on.
    wait_for 10 shell_says 'const m = imports.ui.main;
        if (!m.layoutManager._startingUp) m.overview.hide();
        !m.layoutManager._startingUp && !m.overview.visible && m.modalCount === 0' ||
        fail "gnome-shell stays in its overview"
    monitors "(0, 0, 1.0, uint32 0, true, [('Meta-0', '$(mode Meta-0)', @a{sv} {})])"
    wait_for_portal
}

# mode CONNECTOR: the current mode of a monitor, as mutter names it.
mode() {
    display_config GetCurrentState | grep -o "('$1'[^[]*\[('[^']*'" | head -n1 |
        sed "s/.*('//;s/'\$//"
}

# monitors LOGICAL...: mutter's monitors as the logical monitors given (x, y,
# scale, transform, primary, monitors), the others switched off.
monitors() {
    local serial
    serial=$(display_config GetCurrentState | sed -n 's/^(uint32 \([0-9]*\),.*/\1/p')
    local IFS=,
    display_config ApplyMonitorsConfig "$serial" 1 "[$*]" "@a{sv} {}" > /dev/null ||
        fail "mutter cannot arrange its monitors so"
    sleep 0.5 # the background drawn again
}

# screenshots yes|no: the user's answer to the desktop's question, as the
# permission store keeps it for a program outside a sandbox.
screenshots() {
    gdbus call --session --dest org.freedesktop.impl.portal.PermissionStore \
        --object-path /org/freedesktop/impl/portal/PermissionStore \
        --method org.freedesktop.impl.portal.PermissionStore.SetPermission \
        screenshot true screenshot "" "['$1']" > /dev/null || fail "no permission store"
}

run_gnome() {
    # Mutter draws no decorations for Wayland clients: Qt's own title bar
    # would stand between the place the desktop gives a window and its
    # contents.
    export QT_WAYLAND_DISABLE_WINDOWDECORATION=1
    # A user who has never been asked: the first press asks the question.
    row "gnome unasked" QT_QPA_PLATFORM=wayland
    # One who has allowed screenshots, as the permission store keeps it for
    # a program outside a sandbox.
    screenshots yes
    row gnome QT_QPA_PLATFORM=wayland
    # One who has refused them: the desktop's own colour picker runs.
    screenshots no
    row "gnome refused" QT_QPA_PLATFORM=wayland
    call realPickCommand QT_QPA_PLATFORM=offscreen
    # Allowed again, on the monitor scaled by two.
    screenshots yes
    monitors "(0, 0, 2.0, uint32 0, true, [('Meta-0', '$(mode Meta-0)', @a{sv} {})])"
    row "gnome scale 2" QT_QPA_PLATFORM=wayland
    # Two monitors side by side, at scales one and two.
    monitors "(0, 0, 1.0, uint32 0, true, [('Meta-0', '$(mode Meta-0)', @a{sv} {})])" \
        "(2048, 0, 2.0, uint32 0, false, [('Meta-1', '$(mode Meta-1)', @a{sv} {})])"
    row "gnome two monitors 1 and 2" QT_QPA_PLATFORM=wayland
}

start_kde() {
    export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5
    # Debian's kwin_wayland carries a file capability (cap_sys_resource)
    # that a container may refuse to execute; a copy has none, and keeps the
    # name its own platform plugin looks for.
    mkdir "$base/bin"
    cp "$(command -v kwin_wayland)" "$base/bin/kwin_wayland"
    # No window decorations: the picture shows a window's contents at the
    # place KWin gives it.
    printf '[org.kde.kdecoration2]\nNoPlugin=true\n' > "$HOME/.config/kwinrc"
    export WAYLAND_DISPLAY=wayland-mirabou
    dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR \
        XDG_SESSION_TYPE KDE_FULL_SESSION KDE_SESSION_VERSION
    # KWin lets a program use its screenshots, or its fake input, by the
    # program's desktop file, found through the service cache a Plasma
    # session builds at login.
    mkdir -p "$HOME/.local/share/applications"
    printf '%s\n' '[Desktop Entry]' Type=Application 'Name=Mirabou tests pointer' \
        "Exec=$seat_pointer" NoDisplay=true X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input \
        > "$HOME/.local/share/applications/mirabou-tests-pointer.desktop"
    kbuildsycoca5 > "$base/kbuildsycoca.log" 2>&1
    # What KWin's scripts print goes to its log: the tests ask it where the
    # windows are.
    export MIRABOU_KWIN_LOG="$base/kwin.log"
    kwin 1
    wait_for_portal
}

# kwin SCALE [SECOND]: KWin alone on a 1024x768 output of that scale, in
# place of any earlier one, with a second output of scale SECOND beside it
# when given; the portal's back end, its client, goes with it and is started
# again at the next request.
kwin() {
    if [ -n "${MIRABOU_COMPOSITOR_PID:-}" ]; then
        kill "$MIRABOU_COMPOSITOR_PID"
        wait "$MIRABOU_COMPOSITOR_PID" 2> /dev/null
        wait_for 5 eval '! offers org.kde.KWin /Screenshot org.kde.kwin.Screenshot'
    fi
    local size=${KWIN_OUTPUT:-1024x768}
    QT_LOGGING_RULES=kwin_scripting=true "$base/bin/kwin_wayland" --virtual \
        --width "$(awk "BEGIN { print ${size%x*} * $1 }")" \
        --height "$(awk "BEGIN { print ${size#*x} * $1 }")" \
        --scale "$1" --output-count $((${2:+1} + 1)) --socket "$WAYLAND_DISPLAY" \
        >> "$base/kwin.log" 2>&1 &
    pids+=($!)
    export MIRABOU_COMPOSITOR_PID=$!
    wait_for 10 offers org.kde.KWin /Screenshot org.kde.kwin.Screenshot ||
        fail "kwin_wayland did not start"
    # Its portal's back end, started anew at the first request, answers
    # before a test asks (on a loaded machine its start alone can take
    # longer than a pick waits for a picture).
    wait_for_portal
    gdbus call --session --dest org.freedesktop.portal.Desktop \
        --object-path /org/freedesktop/portal/desktop \
        --method org.freedesktop.portal.Screenshot.Screenshot "" "{'interactive': <false>}" \
        > /dev/null 2>&1
    wait_for 20 compgen -G "$HOME/Pictures/Screenshot*.png" > /dev/null ||
        fail "the portal takes no screenshot on KWin"
    sleep 0.3 # written whole
    rm -f "$HOME"/Pictures/Screenshot*.png
    if [ -n "${2:-}" ]; then
        kscreen-doctor "output.2.scale.$2" > "$base/kscreen-doctor.log" 2>&1 ||
            fail "KWin cannot scale its second output"
        sleep 0.5
    fi
}

run_kde() {
    export QT_WAYLAND_DISABLE_WINDOWDECORATION=1 # as on GNOME
    # First, as the row leaves KWin's own picker waiting for a click. KWin
    # alone draws no wallpaper: the bare desktop is black.
    call realPickCommand QT_QPA_PLATFORM=offscreen
    row kde QT_QPA_PLATFORM=wayland
    kwin 2
    row "kde scale 2" QT_QPA_PLATFORM=wayland
    kwin 1.5 # Qt draws at two, KWin shows it at 1.5
    row "kde scale 1.5" QT_QPA_PLATFORM=wayland
    # A second output beside the first at scale two (KWin places it).
    kwin 1 2
    row "kde two outputs 1 and 2" QT_QPA_PLATFORM=wayland
}

# bench FOLDER: a line of the press-to-first-colour table, the portal's
# pictures landing in FOLDER.
bench() {
    env QT_QPA_PLATFORM=wayland QT_WAYLAND_DISABLE_WINDOWDECORATION=1 "$test" "$desktop" "$1" ||
        { rc=1; logs; }
}

bench_wlroots() {
    for size in 1920x1080 3840x2160; do
        sway_outputs output HEADLESS-1 resolution "$size"
        bench /tmp
    done
}

bench_kde() {
    for size in 1920x1080 3840x2160; do
        KWIN_OUTPUT=$size kwin 1
        bench "$HOME/Pictures"
    done
}

bench_gnome() {
    screenshots yes
    bench "$HOME/Pictures"
    monitors "(0, 0, 1.0, uint32 0, true, [('Meta-1', '$(mode Meta-1)', @a{sv} {})])"
    bench "$HOME/Pictures"
}

if [ -n "$soak" ]; then
    "start_$desktop"
    [ "$desktop" = gnome ] && screenshots yes
    export QT_WAYLAND_DISABLE_WINDOWDECORATION=1
    env QT_QPA_PLATFORM=wayland "$test" "$soak" || rc=1
    exit $rc
fi
if [ -n "$bench" ]; then
    # One output at each size (GNOME's two monitors, one at a time).
    export SWAY_OUTPUT=1920x1080 KWIN_OUTPUT=1920x1080 GNOME_MONITOR=1920x1080 \
        GNOME_SECOND=3840x2160
    "start_$desktop"
    "bench_$desktop"
    exit $rc
fi
"start_$desktop"
"run_$desktop"
exit $rc
