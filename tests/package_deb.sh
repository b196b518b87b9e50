#!/usr/bin/env bash
# Builds the Debian package, checks it as Debian's tools do, installs it on
# this machine, runs /usr/bin/mirabou as an ordinary user and as root the way
# the desktop's menu would, and removes the package again.
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
chmod 755 "$tmp" # an ordinary user's home lies in here
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
# Errors and warnings fail; the one informational tag left is explained in
# the README (binding every symbol at start costs start-up time).
lintian --tag-display-limit 0 -I "$deb" > "$tmp/lintian.log" 2>&1 || true
if grep -E '^[EW]: ' "$tmp/lintian.log"; then fail "lintian"; fi
if grep -E '^I: ' "$tmp/lintian.log" | grep -v ' hardening-no-bindnow '; then fail "lintian"; fi
dpkg-deb -c "$deb" | grep -q ' \./opt' && fail "files in /opt"

as_root dpkg -i "$deb" > "$tmp/dpkg.log" || { cat "$tmp/dpkg.log"; fail "dpkg -i"; }
entry=/usr/share/applications/mirabou.desktop
out=$(desktop-file-validate "$entry" 2>&1) || true
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net /usr/share/metainfo/org.mirabou.mirabou.metainfo.xml 2>&1) ||
    fail "appstreamcli: $out"
[ "$out" = "✔ Validation was successful." ] || fail "appstreamcli: $out"
command=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
[ "$command" = mirabou ] || fail "Exec is '$command'"
# The launcher's Pick Color action runs the same command.
grep -qx "Exec=mirabou --pick --copy" "$entry" || fail "no Pick Color action"
[ "$(command -v "$command")" = /usr/bin/mirabou ] || fail "mirabou is not /usr/bin/mirabou"

# The first visible window whose name matches pattern, waited for up to ten
# seconds; fails when none shows.
shown() {
    local window
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1) || true
        [ -n "$window" ] && { echo "$window"; return 0; }
        sleep 0.1
    done
    return 1
}

# Starts the program as the desktop's menu would, for the user named (an
# ordinary one, or root), with its own home: German chosen beforehand in the
# user's settings, the Language window opened (its caption comes from the
# installed language file), Flat Buttons switched off, Exit.
use() {
    local who="$1" home="$2"
    mkdir -p "$home/.config/mirabou" "$home/runtime"
    printf '[settings]\nlanguage=lang002\n' > "$home/.config/mirabou/settings.ini"
    chmod 700 "$home/runtime"
    local run=(env -u XDG_CONFIG_HOME HOME="$home" XDG_RUNTIME_DIR="$home/runtime" "$command")
    if [ "$who" != root ] && [ "$(id -u)" = 0 ]; then
        chown -R "$who" "$home"
        run=(setpriv --reuid="$who" --regid="$(id -g "$who")" --clear-groups "${run[@]}")
    elif [ "$who" = root ] && [ "$(id -u)" != 0 ]; then
        run=(sudo -n "${run[@]}")
    fi
    "${run[@]}" > "$tmp/run.log" 2>&1 &
    pid=$!
    local window language
    window=$(shown '^Mirabou 1.8$') || { cat "$tmp/run.log"; fail "$who: no window"; }
    xdotool windowfocus --sync "$window" key F4
    language=$(shown '^Orlen Mirabou: Sprache\.\.\.$') ||
        fail "$who: the installed German language file was not found"
    xdotool windowfocus --sync "$language" key Return # Close
    sleep 0.3
    xdotool windowfocus --sync "$window" key F11
    xdotool mousemove --window "$window" 415 19 click 1 # Exit
    wait "$pid" || fail "$who: the program ended with $?"
    pid=
    local written
    written=$(cat "$home/.config/mirabou/settings.ini")
    grep -q '^flat=0$' <<< "$written" && grep -q '^language=lang002$' <<< "$written" &&
        grep -q '^posx=' <<< "$written" || fail "$who: settings not kept: $written"
}
ordinary=$([ "$(id -u)" = 0 ] && echo nobody || id -un)
use "$ordinary" "$tmp/home"
# Root too keeps its settings in its own folder, not in the shared one.
use root "$tmp/root"
out=$(as_root dpkg --verify mirabou) || true
[ -z "$out" ] || fail "the installed files changed: $out"

as_root dpkg -r mirabou > /dev/null
# Every file of the package is gone, and its own folders with them.
while read -r path; do
    [ ! -e "$path" ] || fail "left behind: $path"
done < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}'; echo /usr/share/mirabou
         echo /usr/share/doc/mirabou)
[ -f "$tmp/home/.config/mirabou/settings.ini" ] || fail "removing the package took the user's settings"
echo "1 passed, 0 failed"
