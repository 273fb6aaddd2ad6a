#!/usr/bin/env bash
# Measures valida as a caller runs it, on large generated files of every kind
# (valid ones, and twins with a finding on nearly every line), beside wc -l
# and cat on the same file in the same run. Prints, for each file, its size,
# lines, valida's time, MB/s, lines/s, the ratio of valida's time to wc -l's,
# and valida's peak resident memory.
#
#   bench/compara.sh [-r ROUNDS] [MB] [VALIDA]
#
# ROUNDS: how many times wc -l and valida run on each file, one after the
# other (default 3); the best time of each is the one printed, and the ratio
# is theirs: a shared machine's wall times vary by a third from one run to
# the next, and the best of a few is what the program itself costs.
# MB: the size of each file (default 1000); VALIDA: the program to measure
# (default build/native/valida/valida, built by scripts/testa.sh or
# `cmake --build --preset native`; a valida.exe runs under Wine, with the
# prefix that the tests use). The files go to a temporary folder, removed at
# the end.
set -euo pipefail
cd "$(dirname "$0")/.."

rodadas=3
while getopts 'r:' opcao; do
  case "$opcao" in
    r) rodadas=$OPTARG ;;
    *) echo "usage: bench/compara.sh [-r ROUNDS] [MB] [VALIDA]" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[[ "$rodadas" =~ ^[1-9][0-9]*$ ]] || { echo "ROUNDS must be a whole number of 1 or more" >&2; exit 2; }
mb=${1:-1000}
valida=${2:-build/native/valida/valida}
gera=build/native/bench/gera_gia
[ -x "$valida" ] && [ -x "$gera" ] || { echo "build first: cmake --preset native && cmake --build --preset native" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs GNU time (Debian package time)" >&2; exit 1; }

pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
cp "$valida" "$pasta/"
programa="$pasta/$(basename "$valida")"
for b in "$(dirname "$valida")"/libDllInscE32.so "$(dirname "$valida")"/DllInscE32.dll; do
  [ -f "$b" ] && cp "$b" "$pasta/"
done

# How the program is started, and how it names a file of this machine.
executa=("$programa")
caminho() { printf '%s' "$1"; }
if [[ "$programa" == *.exe ]]; then
  export WINEPREFIX=${WINEPREFIX:-$PWD/build/windows/wineprefix} WINEDEBUG=-all
  executa=(/usr/lib/wine/wine64 "$programa")
  caminho() { printf 'Z:%s' "${1//\//\\}"; }
fi

# Seconds of wall time of a command, output discarded.
segundos() {
  local inicio fim
  inicio=$(date +%s.%N)
  "$@" >/dev/null
  fim=$(date +%s.%N)
  awk -v a="$inicio" -v b="$fim" 'BEGIN { print b - a }'
}

# Bytes per declaration of each kind, to size the files.
declare -A tamanho=([GIA03]=900 [GIA04]=16000 [GIA05]=16000 [GIAST01]=756 [GIAST02]=1010)

printf '%-8s %-8s %8s %10s %8s %8s %11s %6s %7s %8s\n' kind file MB lines valida_s MB/s lines/s ratio cat_s peak_MB
for tipo in GIA03 GIA04 GIA05 GIAST01 GIAST02; do
  declaracoes=$(( mb * 1000000 / ${tamanho[$tipo]} ))
  for variante in valido achados; do
    arquivo="$pasta/$tipo-$variante.txt"
    if [ "$variante" = valido ]; then
      "$gera" "$tipo" "$declaracoes" 7 >"$arquivo"
    else
      "$gera" --achados "$tipo" "$declaracoes" 7 >"$arquivo"
    fi
    bytes=$(stat -c %s "$arquivo")
    linhas=$(wc -l <"$arquivo")
    linha=$(printf 'PARAM   %-12s%-128s%-70s' "$tipo" "$(caminho "$arquivo")" "bench@exemplo.com.br")
    t_cat=$(segundos cat "$arquivo")  # also brings the file into the page cache
    t_wc='' t=''
    rss=0
    for _ in $(seq "$rodadas"); do
      t_wc=$(awk -v a="$t_wc" -v b="$(segundos wc -l "$arquivo")" 'BEGIN { print ((a == "" || b < a) ? b : a) }')
      rm -f "$pasta/saida.txt"
      printf '%s\r\n' "$linha" >"$pasta/param.txt"
      inicio=$(date +%s.%N)
      /usr/bin/time -f '%M' -o "$pasta/rss" "${executa[@]}" 2>/dev/null || true
      fim=$(date +%s.%N)
      t=$(awk -v m="$t" -v a="$inicio" -v b="$fim" 'BEGIN { d = b - a; print ((m == "" || d < m) ? d : m) }')
      rss=$(awk -v a="$rss" -v b="$(cat "$pasta/rss")" 'BEGIN { print ((b > a) ? b : a) }')
      veredito=$(sed -n 2p "$pasta/param.txt" | tr -d '\r')
      esperado=$([ "$variante" = valido ] && echo OK || echo NOK)
      [ "$veredito" = "$esperado" ] || echo "warning: $tipo $variante gave $veredito" >&2
    done
    awk -v tipo="$tipo" -v variante="$variante" -v bytes="$bytes" -v linhas="$linhas" -v t="$t" \
      -v wc="$t_wc" -v cat="$t_cat" -v rss="$rss" 'BEGIN {
        printf "%-8s %-8s %8.0f %10d %8.2f %8.0f %11.0f %6.1f %7.2f %8.1f\n", tipo, variante, bytes / 1e6, linhas, t,
               bytes / 1e6 / t, linhas / t, t / wc, cat, rss / 1024
      }'
    rm -f "$arquivo" "$pasta/saida.txt"
  done
done
