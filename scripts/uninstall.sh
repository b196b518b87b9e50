#!/usr/bin/env bash
# Removes the files an install listed in its manifest, and the folders that
# are left empty. settings.ini holds the user's settings and is kept.
set -euo pipefail
manifest="$1"
while IFS= read -r file || [ -n "$file" ]; do
    case "$file" in
        */settings.ini) echo "Keeping your settings: $file" ;;
        *) rm -f -- "$file" && rmdir -p --ignore-fail-on-non-empty "$(dirname "$file")" 2>/dev/null || true ;;
    esac
done < "$manifest"
rm -f -- "$manifest"
