#!/usr/bin/env bash
# Starts Larderon again and again on application folders with many categories, and counts the starts that
# end before the main menu shows. Such a start keeps its stderr and core dump in the folder named by
# LARDERON_KEEP (./startloop-failures by default). Prints one table row per folder; returns 1 when a
# start failed. LARDERON_PROGRAM_BUILD names another build to take the program from, such as the
# sanitizer build.
#
# The start does not read the category folder; the folders are here so that a change that makes it read
# them is caught. The one SIGABRT before the main menu seen so far comes from Qt when the program cannot
# reach its X display ("could not connect to display", then "no Qt platform plugin could be initialized"):
# the X server stays up between the starts (-noreset) so that every start meets the same server, and the
# kept stderr tells such a start from a fault of the program.
#
#   bench/startloop.sh [build-folder] [starts] [categories ...]     (defaults: build 100 10000 100000)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
starts=${2:-100}
shift $(($# < 2 ? $# : 2))
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(10000 100000)

if [ -z "${LARDERON_BENCH_DISPLAY:-}" ]; then
    # A private X server that stays up between the starts, and a session bus.
    export LARDERON_BENCH_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" dbus-run-session -- \
        "$0" "$build" "$starts" "${counts[@]}"
fi

ulimit -c unlimited
program=$(cd "${LARDERON_PROGRAM_BUILD:-$build}" && pwd)/Larderon
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
keep=${LARDERON_KEEP:-$PWD/startloop-failures}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
echo "| categories | starts | ended before the main menu |"
echo "|---|---|---|"
for count in "${counts[@]}"; do
    app="$work/app-$count"
    cp -r "$program" "$app"
    touch "$app/LD.ini" # a later run: straight from the splash screen to the main menu
    seq -f "Category %06g" "$count" | tee >(sed 's/$/\r/' >"$app/Category/category.txt") |
        (cd "$app/Category" && xargs -d '\n' mkdir)
    failed=0
    for start in $(seq "$starts"); do
        if ! (cd "$app" && "$build/bench/mapwatch" "Main Menu:" 0 ./larderon >/dev/null 2>"$work/stderr"); then
            failed=$((failed + 1))
            mkdir -p "$keep"
            cp "$work/stderr" "$keep/stderr-$count-$start"
            find "$app" -maxdepth 1 -name 'core*' -exec mv {} "$keep/core-$count-$start" \;
            echo "start $start on $count categories failed:" >&2
            cat "$work/stderr" >&2
        fi
    done
    echo "| $count | $starts | $failed |"
    [ "$failed" -eq 0 ] || status=1
    rm -rf "$app"
done
exit $status
