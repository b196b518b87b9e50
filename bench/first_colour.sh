#!/usr/bin/env bash
# Usage: bench/first_colour.sh BUILD [DESKTOP...]
# The press on the Eye Wizard to the first colour taken from the frozen
# screen, on each real Wayland desktop (wlroots, kde, gnome unless named),
# each brought up headless with its own portal by tests/portal_stack.sh at
# 1920x1080 and 3840x2160, and mirabou's picker from its start to ready.
# Prints a table: medians of several picks, in milliseconds, with the
# machine's one-minute load. A desktop whose packages are missing is said to
# be skipped ('make test' installs them).
set -u
build=${1:?build folder}
shift
here=$(cd "$(dirname "$0")/.." && pwd)
desktops=("$@")
[ ${#desktops[@]} -gt 0 ] || desktops=(wlroots kde gnome)
echo "Press on the Eye Wizard to the first colour (medians, ms): the desktop's screenshot"
echo "(press to its file made), the file written (made to closed), the answer (closed to"
echo "opened by the program), the decode (opened to closed), the frozen screens made (read"
echo "to ready), shown (ready to drawn with the first colour and placed by the desktop);"
echo "the picker of mirabou --pick, in a running process, from its start to the same."
echo
echo "| desktop | output | press to first colour | screenshot | file written | answer | decode | frozen screens made | shown | --pick to ready | load |"
echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |"
rc=0
for desktop in "${desktops[@]}"; do
    "$here/tests/portal_stack.sh" --bench "$desktop" "$build/bench/bench_first_colour" \
        "$build/tests/seat_pointer"
    case $? in
    0) ;;
    77) echo "| $desktop | skipped: the desktop's packages are missing | | | | | | | | | |" ;;
    *) echo "| $desktop | failed (its logs above) | | | | | | | | | |"; rc=1 ;;
    esac
done
exit $rc
