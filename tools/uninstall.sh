#!/usr/bin/env bash
# Removes an installed Larderon: every file `cmake --install` put in place (the program, its icons, the
# help file and the desktop entry), as listed in the build folder's install_manifest.txt. Your data
# (Category, Shopping List, LD.ini) stays where it is.
#
#   tools/uninstall.sh [build-folder]
set -euo pipefail
build=${1:-build}
manifest="$build/install_manifest.txt"
if [ ! -f "$manifest" ]; then
    echo "No $manifest: install with 'make install' (or cmake --install $build) first." >&2
    exit 1
fi
while IFS= read -r file || [ -n "$file" ]; do
    [ -n "$file" ] || continue
    if [ -e "$file" ] || [ -L "$file" ]; then
        rm -f -- "$file"
        echo "removed $file"
    fi
    # Folders that held only program files go too; folders with data in them stay.
    rmdir --ignore-fail-on-non-empty -- "$(dirname -- "$file")" 2>/dev/null || true
done < "$manifest"
