#!/usr/bin/env bash
# Installs the build into a temporary prefix and data folder, checks the
# layout, installs again over a user's settings.ini, and uninstalls.
set -euo pipefail
build="$1"
scripts="$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/Applications/Mirabou"
export MIRABOU_DATA_DIR="$tmp/share"
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" > "$tmp/log"
for f in Mirabou settings.ini English.lng Deutsch.lng Francais.lng Espanol.lng Mirabou.chm; do
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
if command -v desktop-file-validate > /dev/null; then desktop-file-validate "$desktop"; fi

printf '[settings]\nposx=5\n' > "$prefix/settings.ini"
cmake --install "$build" --prefix "$prefix" > "$tmp/log"
[ "$(cat "$prefix/settings.ini")" = "$(printf '[settings]\nposx=5')" ] || fail "settings.ini overwritten"

cp "$build/install_manifest.txt" "$tmp/manifest"
"$scripts/uninstall.sh" "$tmp/manifest" > /dev/null
[ -f "$prefix/settings.ini" ] || fail "uninstall removed the user's settings"
left=$(find "$tmp" -type f ! -name settings.ini ! -name log ! -name manifest)
[ -z "$left" ] || fail "left behind: $left"
echo "1 passed, 0 failed"
