#!/usr/bin/env bash
# The whole `tervolin-cli table` of the large benchmark log against lnav's
# index of the same file, side by side: best of N runs of each (alternating,
# the file in the page cache), wall seconds and peak resident memory, and the
# ratio of the two times.
#
#   bench/table_vs_lnav.sh [--bin DIR] [--lines N] [--runs N] [--log FILE --program-dir DIR]
#
# DIR holds tervolin-cli and loggen (default build/release/bin). Without
# --log the log of N lines (default 1000000) is generated into a temporary
# folder. lnav is installed here when missing (Debian package `lnav`); it
# belongs to this benchmark only.
set -euo pipefail
cd "$(dirname "$0")/.."

bin=build/release/bin lines=1000000 runs=3 log= programDir=
while [ $# -gt 0 ]; do
  case "$1" in
    --bin) bin=$2; shift 2 ;;
    --lines) lines=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --log) log=$2; shift 2 ;;
    --program-dir) programDir=$2; shift 2 ;;
    *) echo "usage: $0 [--bin DIR] [--lines N] [--runs N] [--log FILE --program-dir DIR]" >&2; exit 1 ;;
  esac
done

if ! command -v lnav >/dev/null; then
  sudo=; [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq && $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq lnav >/dev/null
fi

if [ -z "$log" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$bin/loggen" big "$work" --lines "$lines" >/dev/null
  log=$work/big.log programDir=$work
fi
export HOME=${work:-$(mktemp -d)}  # lnav keeps its index and settings under HOME

# One run of a command, its output thrown away: "WALL_SECONDS PEAK_KIB"
# (wall time to the millisecond; GNU time gives only hundredths).
timed() {
  local start end stats
  stats=$(mktemp)
  start=$(date +%s.%N)
  /usr/bin/time -o "$stats" -f '%M' "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$(echo "$end - $start" | bc) $(tail -1 "$stats")"
  rm -f "$stats"
}

cat "$log" >/dev/null  # into the page cache
cliBest= cliRss= lnavBest= lnavRss=
for ((i = 0; i < runs; i++)); do
  read -r t m < <(timed "$bin/tervolin-cli" table --profile Toyota --program-dir "$programDir" "$log")
  if [ -z "$cliBest" ] || (( $(echo "$t < $cliBest" | bc) )); then cliBest=$t; fi
  if [ -z "$cliRss" ] || [ "$m" -lt "$cliRss" ]; then cliRss=$m; fi
  read -r t m < <(timed lnav -n -c ';SELECT count(*) FROM lnav_file' "$log")
  if [ -z "$lnavBest" ] || (( $(echo "$t < $lnavBest" | bc) )); then lnavBest=$t; fi
  if [ -z "$lnavRss" ] || [ "$m" -lt "$lnavRss" ]; then lnavRss=$m; fi
done

printf '%-28s %10s %12s\n' "best of $runs" "seconds" "peak MiB"
printf '%-28s %10.3f %12d\n' "tervolin-cli table" "$cliBest" $((cliRss / 1024))
printf '%-28s %10.3f %12d\n' "lnav index" "$lnavBest" $((lnavRss / 1024))
printf 'ratio (tervolin-cli / lnav) %10.2f\n' "$(echo "scale=4; $cliBest / $lnavBest" | bc)"
