#!/usr/bin/env bash
# The search measured from outside: the real program, on the offscreen
# platform and on xcb under Xvfb, from the search button's click until its
# grid holds and shows the rows (a large search after an empty one, as the
# benchmark's "large after empty"), against the sqlite3 command-line program
# counting the same matches on the same cards in the same run, process start
# included, and by its own timer. Medians.
#   bench/outside-search.sh [BUILD_FOLDER] [ROUNDS]
# LEXICARIUM_PROGRAM names another build of the program to measure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
rounds=${2:-9}
cmake --build "$build" --target lexicarium lexicarium_outside_files lexicarium_outside_driver >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/lexicarium_outside_files" "$work"
cat "$work/lexicarium.dat" "$work/lexicarium.sqlite" >/dev/null  # in the page cache, as for the benchmarks

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
program() {
  HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=$1 \
    LD_PRELOAD="$PWD/$build/bench/liblexicarium_outside_driver.so" LEXICARIUM_OUTSIDE_FILE="$work/lexicarium.dat" \
    LEXICARIUM_OUTSIDE_ROUNDS=$rounds "${@:2}" "$(realpath "${LEXICARIUM_PROGRAM:-$build/src/app/lexicarium}")" 2>/dev/null | grep '^program'
}
program offscreen
if command -v xvfb-run >/dev/null; then program xcb xvfb-run -a -s "-screen 0 1280x1024x24"; fi

query="SELECT count(*) FROM fiche WHERE lower(dictionnaire) LIKE '%tion%';"
times=()
for _ in $(seq "$rounds"); do
  start=$(date +%s%N)
  count=$(sqlite3 -readonly "$work/lexicarium.sqlite" "$query")
  times+=($(( ($(date +%s%N) - start) / 1000 )))
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (rounds + 1) / 2 ))p")
printf 'sqlite3 process: median %d.%d ms over %d runs, %s matches\n' $((median / 1000)) $((median % 1000 / 100)) "$rounds" "$count"
inner=$(for _ in $(seq "$rounds"); do
  printf '.timer on\n%s\n' "$query" | sqlite3 -readonly "$work/lexicarium.sqlite" | sed -n 's/^Run Time: real \([0-9.]*\).*/\1/p'
done | sort -n | sed -n "$(( (rounds + 1) / 2 ))p")
echo "sqlite3 query alone (its .timer): median $(awk -v s="$inner" 'BEGIN { printf "%.1f", s * 1000 }') ms"
