#!/usr/bin/env bash
# Fuzzes valida and its registration library with libFuzzer: builds the preset
# "fuzz", replays every target's checked-in corpus, then fuzzes each target in
# turn for the time given, one process at a time and at low priority (the
# machine is shared): nice -n 10, -jobs=1 -workers=1.
#   scripts/fuzz.sh [SECONDS [TARGET...]]   (20 seconds, every target)
# A target starts from its checked-in corpus (fuzz/corpus/<target>) and the
# seeds that the generators wrote (build/fuzz/fuzz/sementes/<target>), and
# keeps the inputs it finds new in build/fuzz/corpus/<target>, from which a
# later run goes on. An input that crashes, hangs, leaks, exhausts memory or
# breaks a property of the run is written to build/fuzz/achados/<target>/ and
# replayed with the sanitizers' full report; the script then ends with 1.
set -euo pipefail
cd "$(dirname "$0")/.."
raiz=$PWD
segundos="${1:-20}"
[ $# -gt 0 ] && shift
alvos=("$@")
[ ${#alvos[@]} -gt 0 ] || alvos=(gia03 gia04 gia05 giast01 giast02 parametros inscricao)

scripts/dependencias.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

bin="$raiz/build/fuzz/fuzz"
# The targets take no stack trace at allocations (their own ASan defaults); a
# finding is replayed with them below.

# The longest input of each target, in whole records of its kind (CR LF
# included): a few records reach every rule, and a short input runs fast and
# mutates where it matters. GIA 3 and GIA ST 1: 4 records of 900 and 756
# bytes (a receipt line of three declarations and the next). GIA 4 and 5: 8
# records of 900 (a main record, the largest family of annexes that check one
# another, X05 with two X05A and X05B, and the main record that closes it; the
# seeds hold each family apart). GIA ST 2: 4 main records of 814 bytes (or
# two of them with 30 detail records of 52). The parameter line and the
# registration keep libFuzzer's default (4096): a longer text is no new case
# for them, and the library's handling of long texts is kept in the search.
max_len() {
  case "$1" in
    gia03) echo 3600 ;;
    giast01) echo 3024 ;;
    gia04 | gia05) echo 7200 ;;
    giast02) echo 3256 ;;
    *) echo 0 ;;
  esac
}

falharam=()
for alvo in "${alvos[@]}"; do
  programa="$bin/fuzz_$alvo"
  if [ ! -x "$programa" ]; then
    echo "No fuzz target $alvo" >&2
    exit 2
  fi
  trabalho="$raiz/build/fuzz/corpus/$alvo"
  achados="$raiz/build/fuzz/achados/$alvo"
  execucao="$raiz/build/fuzz/execucao/$alvo"
  mkdir -p "$trabalho" "$achados" "$execucao"
  rm -f "$execucao"/fuzz-*.log

  echo "== $alvo: the checked-in corpus"
  if ! (cd "$execucao" && "$programa" -runs=0 -artifact_prefix="$achados/" "$raiz/fuzz/corpus/$alvo" \
    >"$execucao/corpus.log" 2>&1); then
    tail -n 40 "$execucao/corpus.log"
    falharam+=("$alvo (checked-in corpus)")
    continue
  fi

  echo "== $alvo: fuzzing for $segundos s"
  antes=$(find "$achados" -type f | wc -l)
  status=0
  (cd "$execucao" && nice -n 10 "$programa" -jobs=1 -workers=1 -max_total_time="$segundos" -timeout=10 \
    -max_len="$(max_len "$alvo")" -print_final_stats=1 -dict="$raiz/fuzz/valida.dict" -artifact_prefix="$achados/" \
    "$trabalho" "$raiz/fuzz/corpus/$alvo" "$bin/sementes/$alvo" >/dev/null 2>&1) || status=$?
  log="$execucao/fuzz-0.log"
  if [ "$status" -eq 0 ]; then
    grep -E '^#[0-9]+[[:space:]]+DONE|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' "$log" || true
    continue
  fi
  tail -n 60 "$log" 2>/dev/null || true
  falharam+=("$alvo")
  if [ "$(find "$achados" -type f | wc -l)" -gt "$antes" ]; then
    for achado in $(find "$achados" -type f -newer "$execucao/corpus.log"); do
      echo "== $alvo: $achado with the sanitizers' full report"
      ASAN_OPTIONS=malloc_context_size=30 "$programa" "$achado" 2>&1 | tail -n 80 || true
    done
  fi
done

if [ ${#falharam[@]} -gt 0 ]; then
  echo "== Fuzzing found faults in: ${falharam[*]} (inputs in build/fuzz/achados/)" >&2
  exit 1
fi
echo "== Fuzzing: no fault in ${alvos[*]}"
