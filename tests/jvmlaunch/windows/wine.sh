#!/bin/sh
# Runs one cross-built test program under Wine in a private prefix.
#   wine.sh WINE64 PREFIX --preparar   creates the prefix and starts its server
#   wine.sh WINE64 PREFIX PROGRAM.exe  runs the program; 77 when it is missing
wine=$1
prefixo=$2
programa=$3
export WINEPREFIX="$prefixo" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
servidor=$(dirname "$wine")/wineserver
[ -x "$servidor" ] || servidor=wineserver
if [ "$programa" = "--preparar" ]; then
  mkdir -p "$prefixo"
  "$wine" wineboot -i >/dev/null 2>&1
  # One server for the whole run: it ends by itself 60 s after the last program.
  "$servidor" -p60 >/dev/null 2>&1
  exit 0
fi
[ -f "$programa" ] || { echo "not built: $programa"; exit 77; }
cd "$(dirname "$programa")" || exit 1
exec "$wine" "$programa"
