#!/usr/bin/env bash
# The program measured from outside, the way the desktop meets it, back to
# back with its floors (the measuring sticks in blackbox/, see its README):
#  - one Eye Wizard move, pointer warp to the repaint that shows the new
#    colour (median and 99th percentile): an X11 program that reads the pixel
#    and repaints, a bare Qt picker, the same handing its repaints to the X
#    server in its requests as Mirabou does (QT_XCB_NO_MITSHM: no shared
#    memory, so no round trip before a repaint), Mirabou with its magnifier, with the
#    magnifier's contrast label (an eye colour remembered by a click on the
#    Eye Wizard before the press), with the label and a 9x9 area, and
#    without the magnifier;
#  - start-up to the window mapped and to its first painting, and memory one
#    second later (medians):
#    a bare Qt window, the same with a line of text, Mirabou, and
#    `mirabou --pick` to the map of its magnifier (the pointer and keyboard
#    are grabbed just before).
# Absolute times swing between runs on a shared machine, over minutes as
# well as from run to run; the ratios of one round are what count, so every
# round runs all of them back to back, and many short rounds spread a slow
# swing over every program alike. The moves of all rounds are then pooled,
# with the share that stalled (5 ms or more): on a machine where every
# program stalls now and then, that share decides the 99th percentile, not
# the program.
#
#   bench/blackbox.sh <build dir with tests> [move rounds] [start-up rounds]
# (MOVES: moves per round)
set -euo pipefail
build=$(cd "$1" && pwd)
rounds=${2:-8}
startRounds=${3:-2}
here=$(cd "$(dirname "$0")/blackbox" && pwd)
moves=${MOVES:-100}
runs=${RUNS:-11}
# A copy of the program folder with settings of its own, so that no earlier
# run's options or position change the figures.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
# Every move of every round, one file per program and round.
moveLogs="$folder/moves"
mkdir "$moveLogs"
cp "$build"/program/* "$folder"/
printf '[settings]\nposx=100\nposy=100\n' > "$folder/settings.ini"
program="$folder/Mirabou"
# The same without the magnifier.
mkdir "$folder/plain"
cp "$build"/program/* "$folder/plain"/
printf '[settings]\nposx=100\nposy=100\nmagnifier=0\n' > "$folder/plain/settings.ini"
# The same averaging a 9x9 area.
mkdir "$folder/area"
cp "$build"/program/* "$folder/area"/
printf '[settings]\nposx=100\nposy=100\nsample=9\n' > "$folder/area/settings.ini"

pick() { # [-e] label, title, command...: "median p99" in microseconds; the moves go to $log
    local first=() env=()
    # PICK_ENV: VAR=VALUE for the program.
    [ -n "${PICK_ENV:-}" ] && env=(-e "$PICK_ENV")
    # -e: a click on the Eye Wizard first remembers an eye colour, so the
    # magnifier shows the contrast label while the press picks.
    [ "$1" = -e ] && first=(-a click:175,19 -a sleep:200) && shift
    local label=$1 title=$2
    shift 2
    local args=(-n "$moves" --csv "$log" "${env[@]}" "${first[@]}" -a press:175,19 -p 208,123 "$label" "$title" -- "$@")
    [ "$label" = x11 ] && args=(-n "$moves" --csv "$log" --preset control-drag)
    "$here/pick-latency/pick-latency.sh" "${args[@]}" 2>&1 |
        sed -n 's/.*SUMMARY.* median_us=\([0-9]*\) .* p99_us=\([0-9]*\) .*/\1 \2/p'
}
start() { # [-o] label, title, command...: "map_ms paint_ms rss_MiB" medians, "-" for one not measured
    local options=()
    [ "$1" = -o ] && options=(-o) && shift # an override-redirect window counts
    local label=$1 title=$2
    shift 2
    "$here/gui-startup-bench.sh" "${options[@]}" -n "$runs" -w 1 "$label" "$title" "$@" 2>&1 |
        awk '/SUMMARY/ {
            for (i = 1; i <= NF; ++i) {
                split($i, kv, "=")
                if (split(kv[2], m, "/") == 3) median[kv[1]] = m[2]
            }
            printf "%s %s %s\n", ("map_ms" in median) ? median["map_ms"] : "-",
                ("paint_ms" in median) ? median["paint_ms"] : "-",
                ("rss_MiB" in median) ? median["rss_MiB"] : "-"
        }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0 && b > 0) printf "%.2f", a / b; else printf "-" }'; }
# A stick that gave no figure (it says why on its own output) leaves a "-" in
# its cells instead of ending the table.
measure() { # "names of the figures", then the stick and its arguments
    local names=$1 out
    shift
    out=$("$@") || true
    # shellcheck disable=SC2086,SC2229 # reads one variable per name
    read -r $names <<< "${out:-- - -}"
}

moveTable() { # the first column's heading: a move table's heading
    printf '\n| %s | move: X11 floor | bare Qt picker | Qt picker, no shared memory | Mirabou | contrast label | label, 9x9 area | no magnifier | Mirabou / Qt picker | label / Qt picker | label, 9x9 / Qt picker | no magnifier / Qt picker | Mirabou / Qt picker, no shared memory | Qt picker / X11 |\n' "$1"
    printf '|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n'
}
moveRow() { # row name, then microseconds of the X11 floor, the two Qt pickers and the four Mirabous: a row with the ratios
    local x=$2 q=$3 s=$4 m=$5 c=$6 a=$7 n=$8
    printf '| %s | %s us | %s us | %s us | %s us | %s us | %s us | %s us | %s | %s | %s | %s | %s | %s |\n' \
        "$1" "$x" "$q" "$s" "$m" "$c" "$a" "$n" "$(ratio "$m" "$q")" "$(ratio "$c" "$q")" \
        "$(ratio "$a" "$q")" "$(ratio "$n" "$q")" "$(ratio "$m" "$s")" "$(ratio "$q" "$x")"
}

moveTable round
for r in $(seq "$rounds"); do
    log=$moveLogs/x.$r measure "xm xp" pick x11 ''
    log=$moveLogs/q.$r measure "qm qp" pick qtfloor '^Qt pick floor' "$build/bench/qtpickfloor"
    log=$moveLogs/s.$r PICK_ENV=QT_XCB_NO_MITSHM=1 measure "sm sp" pick qtfloor '^Qt pick floor' \
        "$build/bench/qtpickfloor"
    log=$moveLogs/m.$r measure "mm mp" pick mirabou '^Mirabou 1\.8' "$program"
    log=$moveLogs/c.$r measure "cm cp" pick -e mirabou '^Mirabou 1\.8' "$program"
    log=$moveLogs/a.$r measure "am ap" pick -e mirabou '^Mirabou 1\.8' "$folder/area/Mirabou"
    log=$moveLogs/n.$r measure "nm np" pick mirabou '^Mirabou 1\.8' "$folder/plain/Mirabou"
    moveRow "$r median" "$xm" "$qm" "$sm" "$mm" "$cm" "$am" "$nm"
    moveRow "$r p99" "$xp" "$qp" "$sp" "$mp" "$cp" "$ap" "$np"
done

pooled() { # program letter: "median p99 stalled%" of its moves in all rounds
    # Each log has a heading, and a move that was not repainted has -1.
    cat "$moveLogs/$1".* 2>/dev/null | awk -F, '$1 ~ /^[0-9]+$/ && $3 + 0 > 0 { print $3 }' |
        sort -n | awk '
        { at[NR] = $1; if ($1 >= 5000) ++stalled }
        END {
            if (!NR) { print "- - -"; exit }
            # nearest rank, as in the summary of each run
            half = int((NR + 1) / 2)
            p99 = int(NR * 0.99)
            if (p99 < NR * 0.99) ++p99
            printf "%d %d %.1f\n", at[half], at[p99], 100 * stalled / NR
        }'
}
read -r xm xp xs <<< "$(pooled x)"
read -r qm qp qs <<< "$(pooled q)"
read -r sm sp ss <<< "$(pooled s)"
read -r mm mp ms <<< "$(pooled m)"
read -r cm cp cs <<< "$(pooled c)"
read -r am ap as <<< "$(pooled a)"
read -r nm np ns <<< "$(pooled n)"
moveTable "all $rounds rounds"
moveRow median "$xm" "$qm" "$sm" "$mm" "$cm" "$am" "$nm"
moveRow p99 "$xp" "$qp" "$sp" "$mp" "$cp" "$ap" "$np"
printf '| moves of 5 ms or more | %s %% | %s %% | %s %% | %s %% | %s %% | %s %% | %s %% | | | | | | |\n' \
    "$xs" "$qs" "$ss" "$ms" "$cs" "$as" "$ns"

printf '\n| round | start-up: bare Qt window | with a line of text | Mirabou | --pick ready | Mirabou / bare | Mirabou / with text | --pick / Mirabou |\n'
printf '|---|---|---|---|---|---|---|---|\n'
for r in $(seq "$startRounds"); do
    measure "fm fp fr" start floor '^Qt floor$' "$build/bench/qtfloor"
    measure "tm tp tr" start text '^bare_window$' "$build/bench/bare_window" --label
    measure "mm mp mr" start mirabou '^Mirabou 1\.8' "$program"
    measure "km kp kr" start -o pick '^Magnifier$' "$program" --pick
    printf '| %s map | %s ms | %s ms | %s ms | %s ms | %s | %s | %s |\n' "$r" "$fm" "$tm" "$mm" \
        "$km" "$(ratio "$mm" "$fm")" "$(ratio "$mm" "$tm")" "$(ratio "$km" "$mm")"
    printf '| %s painted | %s ms | %s ms | %s ms | %s ms | %s | %s | %s |\n' "$r" "$fp" "$tp" "$mp" \
        "$kp" "$(ratio "$mp" "$fp")" "$(ratio "$mp" "$tp")" "$(ratio "$kp" "$mp")"
    printf '| %s RSS | %s MiB | %s MiB | %s MiB | %s MiB | %s | %s | %s |\n' "$r" "$fr" "$tr" "$mr" \
        "$kr" "$(ratio "$mr" "$fr")" "$(ratio "$mr" "$tr")" "$(ratio "$kr" "$mr")"
done
