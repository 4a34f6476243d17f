#!/usr/bin/env bash
# The quick look-up measured from outside: the real program on Xvfb over the
# largest data file, a word held as the X selection by xclip, the shortcut
# typed by xdotool and the window's coming seen through X events
# (lexicarium_lookup_watch); then, in the same run, the Consultation
# window's search for the same word in every field. Medians.
#   bench/outside-lookup.sh [BUILD_FOLDER] [ROUNDS] [WORD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
rounds=${2:-9}
word=${3:-créance}
cmake --build "$build" --target lexicarium lexicarium_outside_files lexicarium_outside_driver lexicarium_lookup_watch >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data/Lexicarium"
"$build/bench/lexicarium_outside_files" "$work"
mv "$work/lexicarium.dat" "$work/data/Lexicarium/lexicarium.dat"
cat "$work/data/Lexicarium/lexicarium.dat" >/dev/null  # in the page cache, as for the benchmarks
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

export HOME="$work" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb
export LEXICARIUM_PROGRAM="$(realpath "${LEXICARIUM_PROGRAM:-$build/src/app/lexicarium}")"
export WATCH="$PWD/$build/bench/lexicarium_lookup_watch" ROUNDS="$rounds" WORD="$word"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$LEXICARIUM_PROGRAM" 2>/dev/null &
  program=$!
  # Asked again rather than --sync: xdotool ends when another window goes while it searches.
  until xdotool search --name "^Scriptoria Digitale - Menu$" >/dev/null 2>&1; do sleep 0.1; done
  printf %s "$WORD" | xclip -selection primary
  "$WATCH" "$ROUNDS"
  kill $program
  pkill -x xclip || true
'
HOME="$work" LD_PRELOAD="$PWD/$build/bench/liblexicarium_outside_driver.so" \
  LEXICARIUM_OUTSIDE_FILE="$work/data/Lexicarium/lexicarium.dat" LEXICARIUM_OUTSIDE_ROUNDS="$rounds" \
  LEXICARIUM_OUTSIDE_TEXT="$word" LEXICARIUM_OUTSIDE_SCOPE=danstout \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$LEXICARIUM_PROGRAM" 2>/dev/null | grep '^program' |
  sed 's/^program xcb:/Consultation search, every field, same word:/'
