#!/usr/bin/env bash
# Prints how long importing each of hostile_test's hostile files takes, from the start of the import to
# its report (making the file and starting the test are not counted): the median of interleaved runs of the
# whole table, and the longest slice of the import. Meant for the sanitizer build, where an import must end
# within 2 s.
#
#   bench/hostile.sh [build-folder] [runs]     (default: build-asan, 5)
set -euo pipefail
build=$(cd "${1:-build-asan}" && pwd)
runs=${2:-5}
test=$build/tests/store/interchange/hostile_test
[ -x "$test" ] || { echo "hostile.sh: build $test first" >&2; exit 1; }

out=$(mktemp)
trap 'rm -f "$out"' EXIT
echo "Load average at the start: $(uptime | sed 's/.*load average: //')"
for _ in $(seq "$runs"); do
    QT_QPA_PLATFORM=offscreen "$test" -maxwarnings 0 hostileFile_endsSoonWithAClearReport 2>&1 |
        sed -n 's/^QINFO *: HostileTest::hostileFile_endsSoonWithAClearReport(\(.*\)) import: \([0-9]*\) ms, longest slice \([0-9]*\) ms$/\1\t\2\t\3/p'
done > "$out"
[ -s "$out" ] || { echo "hostile.sh: the test printed no times" >&2; exit 1; }

echo "| hostile file | import (median of $runs) | slowest run | longest slice | limit | met |"
echo "|---|---|---|---|---|---|"
awk -F'\t' '
    !($1 in seen) { seen[$1] = 1; order[++rows] = $1 }
    { n[$1]++; t[$1, n[$1]] = $2; if ($3 > slice[$1]) slice[$1] = $3 }
    END {
        for (r = 1; r <= rows; r++) {
            row = order[r]; k = n[row]
            for (i = 1; i <= k; i++) v[i] = t[row, i]
            for (i = 2; i <= k; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { x = v[j]; v[j] = v[j - 1]; v[j - 1] = x }
            median = v[int((k + 1) / 2)]
            printf "| %s | %d ms | %d ms | %d ms | < 2000 ms | %s |\n", row, median, v[k], slice[row], (median < 2000 ? "yes" : "NO")
        }
    }' "$out"
echo "Load average at the end: $(uptime | sed 's/.*load average: //')"
