#!/bin/sh
# Starts Mirabou from the Debian package.
#
# Mirabou keeps everything it reads and writes beside its executable. The
# package's folder is not the user's to write, so each user runs a program
# folder of their own, brought up to date from the package's at every start.
# settings.ini is copied once and belongs to the user from then on.
set -eu
shipped=/opt/mirabou
own="${XDG_DATA_HOME:-$HOME/.local/share}/mirabou"
mkdir -p "$own"
for file in "$shipped"/*; do
    name=${file##*/}
    if [ "$name" = settings.ini ]; then
        [ -e "$own/$name" ] || cp -p "$file" "$own/$name"
    elif ! cmp -s "$file" "$own/$name"; then
        # A whole new file or none: never a half-copied program.
        cp -p "$file" "$own/.$name.new"
        mv -f "$own/.$name.new" "$own/$name"
    fi
done
exec "$own/Mirabou" "$@"
