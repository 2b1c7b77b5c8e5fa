#!/usr/bin/env bash
# Runs of the stand-in host variants under Wine, for ctest --preset msvc
# (winhost/variants.cmake). Each host folder holds an orbiter.exe with
# Modules\Tarvex.dll and sound\OrbiterSound.dll beside it.
#
#   same DIR BASE NAME -- ARGS...      fly orbiter.exe ARGS in DIR, writing out/NAME.csv,
#                                      out/NAME.trace and out/NAME-end.scn, and compare
#                                      them with those BASE wrote, byte for byte
#   life DIR REFERENCE                 the vessel life of DIR's orbiter.exe (winhost/life.cpp)
#                                      into DIR/life.txt, compared with REFERENCE
#   refuse DIR STATUS PATTERN -- ARGS  run orbiter.exe ARGS in DIR: it must end with
#                                      exit status STATUS and say PATTERN (extended regex)
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
wine_run() { "$here/cmake/wine-run.sh" "$@"; }

fly() {
  local dir=$1 name=$2
  shift 3
  mkdir -p "$dir/out"
  (cd "$dir" && wine_run orbiter.exe "$@" --quiet --csv "out/$name.csv" --trace "out/$name.trace" \
    --save "out/$name-end.scn")
}

compare() {  # FILE_A FILE_B
  if ! cmp -s "$1" "$2"; then
    echo "host-variants: $1 and $2 differ (first differences below)" >&2
    diff <(tr -d '\r' <"$1") <(tr -d '\r' <"$2") | head -20 >&2
    return 1
  fi
}

case "${1:-}" in
same)
  dir=$2 base=$3 name=$4
  shift 3
  fly "$dir" "$@" || exit $?
  rc=0
  for f in "$name.csv" "$name.trace" "$name-end.scn"; do compare "$base/out/$f" "$dir/out/$f" || rc=1; done
  [ $rc = 0 ] && echo "host-variants: $name flies alike in $(basename "$dir") and $(basename "$base")" \
    "($(wc -l <"$dir/out/$name.trace") trace lines, $(wc -l <"$dir/out/$name.csv") telemetry rows)"
  exit $rc
  ;;
life)
  dir=$2 reference=$3 out=$2/life.txt
  (cd "$dir" && wine_run orbiter.exe 'Modules\Tarvex.dll' 'sound\OrbiterSound.dll') | tr -d '\r' >"$out" || exit 1
  compare "$reference" "$out" || exit 1
  echo "host-variants: the vessel life in $(basename "$dir") makes the calls of $reference ($(wc -l <"$out") lines)"
  ;;
refuse)
  dir=$2 status=$3 pattern=$4
  shift 5
  err=$(cd "$dir" && wine_run orbiter.exe "$@" 2>&1 >/dev/null)
  rc=$?
  echo "$err" | tail -3
  if [ "$rc" != "$status" ] || ! grep -Eq "$pattern" <<<"$err"; then
    echo "host-variants: expected exit status $status and \"$pattern\", got status $rc" >&2
    exit 1
  fi
  ;;
*)
  echo "usage: host_variants.sh fly|same|life|samelife|refuse ..." >&2
  exit 2
  ;;
esac
