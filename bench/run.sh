#!/usr/bin/env bash
# Prints Larderon's benchmark table: the whole program against an empty Qt 6 window (start to the first
# window, and memory once the main menu shows), then the store at scale against the floor of the same
# work done by the operating system alone. Each figure is a ratio measured in one run. A save is synced, as
# the program's saves are, and its floor does the same syncs (write, fsync, rename, fsync of the folder);
# the store's figures are measured in a temporary folder, so TMPDIR should lie on a real disk.
#
#   bench/run.sh [build-folder] [rounds]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
rounds=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${LARDERON_BENCH_DISPLAY:-}" ]; then
    # A private X server and session bus, so that nothing else on a desktop takes part in the figures.
    export LARDERON_BENCH_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" dbus-run-session -- "$0" "$build" "$rounds"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$build/Larderon" "$work/app"
touch "$work/app/LD.ini" # a later run: straight from the splash screen to the main menu

# Runs the program and the empty window in turns; one line per run: who, ms to first window, RSS, PSS.
for _ in $(seq "$rounds"); do
    (cd "$work/app" && echo "larderon $("$build/bench/mapwatch" "Main Menu:" 500 ./larderon 2>/dev/null)")
    echo "empty $("$build/bench/mapwatch" "Empty window" 500 "$build/bench/emptywindow" 2>/dev/null)"
done > "$work/startup.txt"

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
column_of() { awk -v who="$1" -v col="$2" '$1 == who {print $col}' "$work/startup.txt" | median; }
row() { # figure, ours, floor, unit, limit
    awk -v what="$1" -v ours="$2" -v floor="$3" -v unit="$4" -v limit="$5" 'BEGIN {
        ratio = ours / floor
        printf "| %s | %s %s | an empty Qt 6 window | %s %s | %.2fx | <= %sx | %s |\n",
            what, ours, unit, floor, unit, ratio, limit, (ratio <= limit ? "yes" : "NO") }'
}
kib_to_mib() { awk -v k="$1" 'BEGIN {printf "%.1f", k / 1024}'; }

echo "| figure | Larderon | measured against | floor | ratio | limit | met |"
echo "|---|---|---|---|---|---|---|"
row "start to the first window (median of $rounds)" "$(column_of larderon 2)" "$(column_of empty 2)" ms 1.3
row "resident memory at the main menu" "$(kib_to_mib "$(column_of larderon 3)")" "$(kib_to_mib "$(column_of empty 3)")" MiB 1.3
row "proportional memory at the main menu" "$(kib_to_mib "$(column_of larderon 4)")" "$(kib_to_mib "$(column_of empty 4)")" MiB 1.3
"$build/bench/storebench" --runs "$(( rounds > 7 ? rounds : 7 ))" 2>/dev/null | tail -n +3
# An import of a 50 MB file: the longest time the import window's thread is busy, and the peak memory.
TMPDIR="$work" "$build/bench/importpause" 2>/dev/null
# The find window on a collector's archive: 250,000 recipes imported into 50 categories (about 1 GB of small
# files in TMPDIR for a few minutes; LARDERON_FIND_RECIPES makes fewer).
"$build/bench/findbench" --runs 3 --recipes "${LARDERON_FIND_RECIPES:-250000}" 2>/dev/null | tail -n +3
# Starts on a folder of 10,000 categories, none of which may end before the main menu shows;
# bench/startloop.sh runs the long loop (100 starts on 10,000 and on 100,000 categories).
starts=${LARDERON_STARTS:-20}
failed=$("$here/startloop.sh" "$build" "$starts" 10000 2>/dev/null | awk -F'|' '$2 + 0 == 10000 {print $4 + 0}') || true
echo "| starts on 10,000 categories ending before the main menu | ${failed:-?} of $starts | - | - | - | 0 | $([ "${failed:-1}" -eq 0 ] && echo yes || echo NO) |"
echo
echo "Load average during the run: $(uptime | sed 's/.*load average: //')"
