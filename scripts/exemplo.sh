#!/usr/bin/env bash
# Builds valida and runs it as a caller does on a sample declaration from
# examples/: writes param.txt beside a copy of the program, starts it, and
# shows the verdict, the path of the report and its first lines.
set -euo pipefail
cd "$(dirname "$0")/.."
declaracao="${1:-examples/gia05-exemplo.txt}"
tipo="${2:-GIA05}"

scripts/dependencias.sh
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target valida >/dev/null

pasta="build/exemplo"
rm -rf "$pasta" && mkdir -p "$pasta"
cp build/native/valida/valida "$pasta/"
cp "$declaracao" "$pasta/declaracao.txt"
printf '%-8s%-12s%-128s%-70s\r\n' PARAM "$tipo" declaracao.txt contribuinte@exemplo.com.br >"$pasta/param.txt"

status=0
(cd "$pasta" && ./valida) || status=$?
echo "exit status: $status"
echo "verdict:     $(sed -n 2p "$pasta/param.txt" | tr -d '\r')"
echo "report:      $(realpath "$pasta/saida.txt")"
echo "----- first lines of the report -----"
head -n 25 "$pasta/saida.txt" | iconv -f WINDOWS-1252 -t UTF-8 | tr -d '\r'
