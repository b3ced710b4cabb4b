#!/usr/bin/env bash
# End-to-end test of the installed program: installs Larderon into a fresh folder, checks that every file
# it needs is there, then drives the real program under a private X server as a user would.
#
#   tests/e2e/e2e.sh <build-folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)

for tool in xvfb-run xdotool dbus-run-session pdftotext; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is missing (tools/install-deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
app="$work/Larderon"
mkdir -p "$work/home" "$work/share"
export HOME="$work/home" XDG_DATA_HOME="$work/share"

cmake --install "$build" --prefix "$app" >/dev/null

missing=0
for file in larderon larderon-help larderon.png Category/category.txt Documentation/LDHelp.chm \
    images/New.ico images/Save.ico images/Main.ico images/Print.ico images/Exit.ico images/Calendar.ico \
    "$XDG_DATA_HOME/applications/larderon.desktop"; do
    case $file in /*) path=$file ;; *) path="$app/$file" ;; esac
    if [ ! -f "$path" ]; then
        echo "e2e: not installed: $file" >&2
        missing=1
    fi
done
[ -d "$app/Shopping List" ] || { echo "e2e: not installed: Shopping List/" >&2; missing=1; }
[ "$(stat -c %s "$app/Documentation/LDHelp.chm" 2>/dev/null || echo 0)" -gt 4096 ] || { echo "e2e: the help file is empty" >&2; missing=1; }
[ "$missing" = 0 ] || exit 1

# A sanitizer build reports Qt's own allocations at exit; the program's leaks are the unit tests' business.
export ASAN_OPTIONS=detect_leaks=0
# The real program on the X server, whatever platform the unit tests run on.
export QT_QPA_PLATFORM=xcb
# -noreset: the server would start afresh, refusing connections for a moment, when the program ends.
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" dbus-run-session -- "$here/session.sh" "$app"
