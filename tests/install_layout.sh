#!/usr/bin/env bash
# The two install forms. The system layout, staged with DESTDIR as a
# distribution packager does: every file under the staging folder, the
# program finding its files from /usr/bin, a valid desktop entry and AppStream
# file, a manual page that says what --help says. The portable form: a program
# folder and the user's desktop entry, installed again over a user's
# settings.ini, and uninstalled.
set -euo pipefail
build="$1"
scripts="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# --- the system layout --------------------------------------------------
stage="$tmp/stage"
# Whoever installs, nothing goes to their home: HOME points nowhere writable.
HOME=/nonexistent DESTDIR="$stage" cmake --install "$build" --prefix /usr > "$tmp/log"
outside=$(find "$stage" -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
usr="$stage/usr"
for f in bin/mirabou share/mirabou/settings.ini share/mirabou/English.lng \
         share/mirabou/Deutsch.lng share/mirabou/Mirabou.chm share/applications/mirabou.desktop \
         share/icons/hicolor/48x48/apps/mirabou.png share/icons/hicolor/scalable/apps/mirabou.svg \
         share/metainfo/org.mirabou.mirabou.metainfo.xml share/man/man1/mirabou.1; do
    [ -f "$usr/$f" ] || fail "system layout: missing $f"
done
[ -x "$usr/bin/mirabou" ] || fail "bin/mirabou is not executable"
grep -qx "Exec=mirabou" "$usr/share/applications/mirabou.desktop" || fail "system Exec line"
out=$(desktop-file-validate "$usr/share/applications/mirabou.desktop" 2>&1) || true
[ -z "$out" ] || fail "desktop-file-validate: $out"
out=$(appstreamcli validate --no-net "$usr/share/metainfo/org.mirabou.mirabou.metainfo.xml" 2>&1) ||
    fail "appstreamcli: $out"
[ "$out" = "✔ Validation was successful." ] || fail "appstreamcli: $out"
# The manual page names every option --help names, with its text.
manual=$(MANWIDTH=200 man -l "$usr/share/man/man1/mirabou.1" 2>&1)
while read -r option text; do
    grep -qF -- "$option" <<< "$manual" || fail "the manual page lacks $option"
    grep -qF -- "$text" <<< "$manual" || fail "the manual page lacks '$text'"
done < <("$usr/bin/mirabou" --help |
    sed -n 's/^ *\(-[a-z], \)\{0,1\}\(--[a-z-]*\)\( <[A-Za-z]*>\)\{0,1\}  *\(.*\)$/\2 \4/p')
[ "$("$usr/bin/mirabou" --help | grep -c -- '^ *-')" = 9 ] || fail "options in --help changed"
# The executable needs Qt Core only; its part that needs a display, the rest.
needed=$(readelf -d "$usr/bin/mirabou" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
grep -qx 'libQt6Core.so.6' <<< "$needed" || fail "mirabou needs no Qt Core?"
for library in libQt6Gui libQt6Widgets libQt6DBus libxcb libEGL libGL libX11; do
    grep -q "^$library" <<< "$needed" && fail "mirabou needs $library"
done
part="$usr/lib/$(gcc -print-multiarch 2>/dev/null || echo)/mirabou/mirabou-display.so"
[ -f "$part" ] || part=$(find "$usr/lib" -name mirabou-display.so | head -n1)
[ -f "$part" ] || fail "no mirabou-display.so under $usr/lib"
readelf -d "$part" | grep -q 'libQt6Widgets' || fail "the display part needs no Qt Widgets?"
# A command that needs no display runs where none is, loading no window system.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= LD_DEBUG=files \
    "$usr/bin/mirabou" --convert '#FF8000' --format oklch 2>&1 >/dev/null)
grep -E 'file=.*(libQt6Gui|libQt6Widgets|mirabou-display)' <<< "$out" && fail "--convert loaded the window system"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/mirabou" --convert '#FF8000' --format oklch)" = \
    'oklch(73.19% 0.1858 52.98)' ] || fail "--convert without a display"

# --- the portable form ---------------------------------------------------
prefix="$tmp/Applications/Mirabou"
export MIRABOU_DATA_DIR="$tmp/share"
cmake --install "$build" --component portable --prefix "$prefix" > "$tmp/log"
for f in Mirabou mirabou-display.so settings.ini English.lng Deutsch.lng Francais.lng Espanol.lng \
    Mirabou.chm; do
    [ -f "$prefix/$f" ] || fail "missing $f"
done
[ -x "$prefix/Mirabou" ] || fail "Mirabou is not executable"
for size in 16 24 32 48 64 128; do
    [ -f "$MIRABOU_DATA_DIR/icons/hicolor/${size}x${size}/apps/mirabou.png" ] || fail "icon $size"
done
[ -f "$MIRABOU_DATA_DIR/icons/hicolor/scalable/apps/mirabou.svg" ] || fail "scalable icon"
desktop="$MIRABOU_DATA_DIR/applications/mirabou.desktop"
grep -qx "Exec=\"$prefix/Mirabou\"" "$desktop" || fail "Exec line: $(grep Exec "$desktop")"
grep -qx "Icon=mirabou" "$desktop" || fail "Icon line"
out=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$out" ] || fail "desktop-file-validate: $out"

printf '[settings]\nposx=5\n' > "$prefix/settings.ini"
cmake --install "$build" --component portable --prefix "$prefix" > "$tmp/log"
[ "$(cat "$prefix/settings.ini")" = "$(printf '[settings]\nposx=5')" ] || fail "settings.ini overwritten"

cp "$build/install_manifest_portable.txt" "$tmp/manifest"
"$scripts/uninstall.sh" "$tmp/manifest" > /dev/null
[ -f "$prefix/settings.ini" ] || fail "uninstall removed the user's settings"
left=$(find "$tmp" -path "$stage" -prune -o -type f ! -name settings.ini ! -name log ! -name manifest -print)
[ -z "$left" ] || fail "left behind: $left"
echo "1 passed, 0 failed"
