#!/usr/bin/env bash
# The notations' speed, from outside:
#  - mirabou --convert (and --contrast, --list-formats, --version) from its
#    start to its exit against a bare Qt Core program that parses its
#    arguments and prints one line (medians, pair by pair);
#  - Copy As: from the key F7 to its menu drawn on the screen, the program
#    under Xvfb with openbox (medians and p99 of menu_latency).
#
#   bench/notations.sh <build dir with tests> [rounds]
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-41}
here=$(cd "$(dirname "$0")/.." && pwd)
program=$build/program/Mirabou
echo "Commands that need no display, from start to exit ($rounds rounds):"
echo
"$build/bench/bench_command" "$rounds" "$build/bench/core_floor --convert #FF8000 --format oklch" \
    "$program --convert #FF8000 --format oklch" "$program --contrast #767676 white" \
    "$program --list-formats" "$program --version"
echo
if [ ! -x "$build/bench/menu_latency" ]; then
    echo "Copy As: menu_latency was not built (libx11-dev, libxtst-dev, libxdamage-dev)."
    exit 0
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$build"/program/* "$folder"/
printf '[settings]\nposx=100\nposy=100\n' > "$folder/settings.ini"
"$here/tests/support/with-xvfb.sh" --wm bash -c '
    "$1" & pid=$!
    for _ in $(seq 100); do
        window=$(xdotool search --name "^Mirabou 1" 2>/dev/null | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    sleep 1
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    echo "Copy As, from F7 to its menu drawn ($2 rounds):"
    "$3" F7 "$2"
    kill "$pid"
    wait "$pid"
' bench "$folder/Mirabou" "$rounds" "$build/bench/menu_latency"
