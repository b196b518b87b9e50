#!/usr/bin/env bash
# The Palettes window's speed, from outside: a palette of 10,000 colours
# (and, for comparison, one of 50), from the key F8 to the window drawn on
# the screen, the program under Xvfb with openbox (window_latency), a fresh
# program for each round: the window is made, the palette read, laid out
# and drawn. Prints each round's time, then the median and the largest.
#
#   bench/palettes.sh <build dir with tests> [rounds]
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-15}
here=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -x "$build/bench/window_latency" ]; then
    echo "window_latency was not built (libx11-dev, libxtst-dev, libxdamage-dev)."
    exit 1
fi
for colours in 50 10000; do
    folder=$(mktemp -d)
    cp "$build"/program/* "$folder"/
    mkdir "$folder/palettes"
    {
        printf 'GIMP Palette\nName: big\nColumns: 0\n#\n'
        for ((i = 0; i < colours; i++)); do
            printf '%3d %3d %3d\tcolour %d\n' $((i % 256)) $((i / 256 % 256)) $((i * 7 % 256)) "$i"
        done
    } > "$folder/palettes/big.gpl"
    printf '[settings]\nposx=100\nposy=100\n[palettes]\nposx=600\nposy=100\nchosen=big\n' \
        > "$folder/settings.ini"
    echo "A palette of $colours colours, from F8 to the Palettes window drawn ($rounds rounds):"
    "$here/tests/support/with-xvfb.sh" --wm bash -c '
        times=()
        for ((round = 0; round < $2; round++)); do
            "$1" & pid=$!
            window=
            for _ in $(seq 100); do
                window=$(xdotool search --name "^Mirabou 1" 2>/dev/null | head -n1)
                [ -n "$window" ] && break
                sleep 0.1
            done
            sleep 1
            line=$("$3" F8 "$window" 1 || true)
            kill "$pid"
            wait "$pid" || true
            us=$(sed -n "s/.*first_us=\([0-9]*\).*/\1/p" <<< "$line")
            [ -n "$us" ] && [ "$us" != 0 ] && times+=("$us")
        done
        sorted=($(printf "%s\n" "${times[@]}" | sort -n))
        n=${#sorted[@]}
        echo "  rounds: ${times[*]} us"
        echo "SUMMARY n=$n median_us=${sorted[$((n / 2))]} max_us=${sorted[$((n - 1))]}"
    ' bench "$folder/Mirabou" "$rounds" "$build/bench/window_latency"
    rm -rf "$folder"
done
