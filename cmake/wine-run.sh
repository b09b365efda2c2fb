#!/bin/sh
# Runs a Windows program under wine, quietly, with the wine prefix PREFIX.
# Usage: wine-run.sh PREFIX PROGRAM [ARG]...
#        wine-run.sh PREFIX          (only makes the prefix ready: the tests' fixture)
# A new prefix takes from seconds to more than a minute to make. It is made once, under
# a lock, and marked ready only when wine has finished with it, so that programs started
# at the same moment neither make it twice nor start in one half made.
# The wine server and wine's own background programs are started first, away from the
# caller's output (which they would otherwise hold open), and stay 10 seconds after the
# last program has ended: programs run one after another (ctest) start at once and never
# meet a server on its way out.
set -e
prefix=$1
shift
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all
dir=/usr/lib/wine
[ -x $dir/wine64 ] || dir=$(dirname "$(command -v wine64)")
if [ ! -e "$prefix/.ready" ]; then
  exec 9>"$prefix/.lock"
  flock 9
  if [ ! -e "$prefix/.ready" ]; then
    $dir/wine64 wineboot --init </dev/null >/dev/null 2>&1 || true
    $dir/wineserver -w  # until every program that made the prefix has ended
    if [ ! -e "$prefix/system.reg" ]; then
      echo "wine-run.sh: wine could not make the prefix $prefix" >&2
      exit 1
    fi
    touch "$prefix/.ready"
  fi
  exec 9>&-
fi
[ $# -gt 0 ] || exit 0
if $dir/wineserver -p10 </dev/null >/dev/null 2>&1; then  # fails when one runs already
  $dir/wine64 wineboot </dev/null >/dev/null 2>&1 || true
fi
exec $dir/wine64 "$@"
