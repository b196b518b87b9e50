#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, starts the program
# with the desktop entry's command as a user would, and removes the package.
# Needs root (or sudo without a password); exits 77 (skipped) otherwise.
set -euo pipefail
build="$1"
SKIP=77
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo -n "$@"; fi; }
if [ "$(id -u)" != 0 ] && ! sudo -n true 2>/dev/null; then
    echo "SKIP: installing a package needs root"; exit $SKIP
fi
if dpkg-query -W -f='${Status}' mirabou 2>/dev/null | grep -q "install ok installed"; then
    echo "SKIP: a mirabou package is installed here already; not touching it"; exit $SKIP
fi
tmp=$(mktemp -d)
cleanup() {
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    as_root dpkg -r mirabou > /dev/null 2>&1 || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/package" > "$tmp/cpack.log") || { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/package/mirabou_*.deb)
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "no Qt dependency"
dpkg-deb -f "$deb" Recommends | grep -q "libchm1" || fail "libchm1 is not recommended"
dpkg-deb -f "$deb" Depends | grep -q "libchm1" && fail "libchm1 must not be required"
as_root dpkg -i "$deb" > "$tmp/dpkg.log" || { cat "$tmp/dpkg.log"; fail "dpkg -i"; }

for f in /opt/mirabou/Mirabou /opt/mirabou/settings.ini /opt/mirabou/English.lng /usr/bin/mirabou \
         /usr/share/applications/mirabou.desktop /usr/share/icons/hicolor/48x48/apps/mirabou.png; do
    [ -e "$f" ] || fail "missing $f"
done
entry=/usr/share/applications/mirabou.desktop
if command -v desktop-file-validate > /dev/null; then desktop-file-validate "$entry"; fi
command=$(sed -n 's/^Exec=//p' "$entry" | tr -d '"')
[ "$command" = mirabou ] || fail "Exec is '$command'"

# A user starts it from the menu: the program runs from a folder of their own.
export HOME="$tmp/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
"$command" > "$tmp/run.log" 2>&1 &
pid=$!
window=
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Mirabou 1.8$' 2>/dev/null | head -n1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { cat "$tmp/run.log"; fail "no window"; }
own="$HOME/.local/share/mirabou"
[ -x "$own/Mirabou" ] && [ -f "$own/settings.ini" ] || fail "no program folder of the user's own"
xdotool mousemove --window "$window" 415 19 click 1 # Exit
wait "$pid" || fail "the program ended with $?"
pid=
grep -q '^posx=' "$own/settings.ini" || fail "settings were not written: $(cat "$own/settings.ini")"

as_root dpkg -r mirabou > /dev/null
for f in /opt/mirabou /usr/bin/mirabou "$entry"; do
    [ ! -e "$f" ] || fail "left behind: $f"
done
[ -f "$own/settings.ini" ] || fail "removing the package took the user's settings"
echo "1 passed, 0 failed"
