#!/usr/bin/env bash
# Usage: bench/soak.sh BUILD [PICKS] [DESKTOP...]
# Whole picks pick after pick on each real Wayland desktop (wlroots, kde,
# gnome unless named), each brought up headless with its own portal by
# tests/portal_stack.sh: a press on the Eye Wizard, a drag, a release after a
# random hold of 0.1 to 1 s, half the picks with the magnifier on and half
# with it off, each colour read back through Copy HEX Value and the desktop's
# clipboard. Prints a table: the picks, those that read the right colour, the
# deaths (a program that ended, with its signal and stderr below the table).
set -u
build=${1:?build folder}
picks=${2:-300}
shift $(($# > 1 ? 2 : 1))
here=$(cd "$(dirname "$0")/.." && pwd)
desktops=("$@")
[ ${#desktops[@]} -gt 0 ] || desktops=(wlroots kde gnome)
echo "Whole picks in a row, $picks on each desktop (holds of 0.1-1 s, magnifier on, then off):"
echo
echo "| desktop | picks | right colour | deaths | time |"
echo "| --- | --- | --- | --- | --- |"
rc=0
for desktop in "${desktops[@]}"; do
    "$here/tests/portal_stack.sh" --soak "$desktop" "$build/bench/bench_soak" \
        "$build/tests/seat_pointer" "$picks"
    case $? in
    0) ;;
    77) echo "| $desktop | skipped: the desktop's packages are missing | | | |" ;;
    *) rc=1 ;;
    esac
done
exit $rc
