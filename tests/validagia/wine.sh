#!/bin/sh
# validagia.exe under Wine on a few files of every kind, valid and with
# findings, gives byte for byte what the native validagia gives.
#   wine.sh WINE64 PREFIX validagia.exe VALIDAGIA GERA_GIA   (77: not built)
wine=$1 prefixo=$2 exe=$3 nativo=$4 gera=$5
[ -f "$exe" ] || { echo "not built: $exe"; exit 77; }
export WINEPREFIX="$prefixo" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
pasta=$(mktemp -d "${TMPDIR:-/tmp}/validagia-wine.XXXXXX") || exit 1
trap 'rm -rf "$pasta"' EXIT
cd "$pasta" || exit 1
for tipo in GIA03 GIA05 GIAST02; do
  "$gera" "$tipo" 2 3 > "$tipo.txt"
  "$gera" --achados "$tipo" 2 3 > "$tipo-achados.txt"
done
falhou=0
for argumentos in "-f json GIA03.txt GIA05.txt GIAST02.txt" "--cp1252 GIA03-achados.txt" \
                  "-j 2 -f json GIA05-achados.txt GIAST02-achados.txt GIA03.txt" "-q -t GIA05 GIA05.txt"; do
  # shellcheck disable=SC2086
  "$nativo" $argumentos > nativo.out; esperado=$?
  # shellcheck disable=SC2086
  "$wine" "$exe" $argumentos > wine.out; obtido=$?
  if [ "$esperado" != "$obtido" ] || ! cmp -s nativo.out wine.out; then
    echo "differs under Wine: validagia $argumentos (exit $esperado, Wine $obtido)"
    diff nativo.out wine.out | head -20
    falhou=1
  fi
done
# A name beyond ASCII, with a letter outside Windows-1252, arrives whole (Wine reads the names of
# this UTF-8 locale).
cp GIA05.txt "declaração-Ω.txt"
LC_ALL=C.UTF-8 "$nativo" -f json "declaração-Ω.txt" > nativo.out; esperado=$?
LC_ALL=C.UTF-8 "$wine" "$exe" -f json "declaração-Ω.txt" > wine.out; obtido=$?
if [ "$esperado" != 0 ] || [ "$obtido" != 0 ] || ! cmp -s nativo.out wine.out; then
  echo "a name outside the ANSI code page under Wine: exit $esperado, Wine $obtido"
  diff nativo.out wine.out | head -5
  falhou=1
fi
"$wine" "$exe" nao-existe.txt > /dev/null 2> erro.txt; status=$?
if [ "$status" != 2 ] || ! grep -q "nao-existe.txt" erro.txt; then
  echo "a missing file under Wine: exit $status"; cat erro.txt; falhou=1
fi
exit $falhou
