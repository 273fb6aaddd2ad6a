#!/usr/bin/env bash
# Batch throughput of validagia: N files (default 200) of about MB megabytes
# each (default 5), of the five kinds in turn, validated with -j 1 and -j 2;
# prints the wall time and MB/s of each. Needs the native build.
#   bench/validagia_lote.sh [N] [MB]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-200}
mb=${2:-5}
build=build/native
pasta=$(mktemp -d "${TMPDIR:-/tmp}/validagia-lote.XXXXXX")
trap 'rm -rf "$pasta"' EXIT
tipos=(GIA03 GIA04 GIA05 GIAST01 GIAST02)
# Declarations per file: from the size of 200 of them.
declare -A por_arquivo
for tipo in "${tipos[@]}"; do
  amostra=$("$build/bench/gera_gia" "$tipo" 200 | wc -c)
  por_arquivo[$tipo]=$(( mb * 1000000 * 200 / amostra ))
done
arquivos=()
for ((i = 0; i < n; i++)); do
  tipo=${tipos[i % 5]}
  "$build/bench/gera_gia" "$tipo" "${por_arquivo[$tipo]}" "$i" > "$pasta/$i.txt"
  arquivos+=("$pasta/$i.txt")
done
total=$(cat "${arquivos[@]}" | wc -c)
echo "$n files, $((total / 1000000)) MB"
for jobs in 1 2; do
  inicio=$(date +%s.%N)
  "$build/validagia/validagia" -q -j "$jobs" "${arquivos[@]}" > /dev/null || [ $? -eq 1 ]
  fim=$(date +%s.%N)
  awk -v j="$jobs" -v s="$(echo "$fim - $inicio" | bc)" -v b="$total" \
    'BEGIN { printf "-j %d: %.1f s, %.0f MB/s\n", j, s, b / 1e6 / s }'
done
