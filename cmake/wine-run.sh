#!/bin/sh
# Runs a Windows program under wine, quietly, with the wine prefix PREFIX (created on
# first use). Usage: wine-run.sh PREFIX PROGRAM [ARG]...
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
if $dir/wineserver -p10 </dev/null >/dev/null 2>&1; then  # fails when one runs already
  $dir/wine64 wineboot </dev/null >/dev/null 2>&1 || true
fi
exec $dir/wine64 "$@"
