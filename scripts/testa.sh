#!/usr/bin/env bash
# Builds everything (native, Windows cross build, sanitizer build) and runs
# every test: unit tests, the black-box tests natively and under Wine, the
# Debian package installed into a temporary root and the Windows zip, and
# the unit and black-box tests again under AddressSanitizer and UBSan; then
# a short run of every fuzz target (libFuzzer, 20 seconds each).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dependencias.sh

echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

echo "== Native build"
cmake --preset native >/dev/null
cmake --build --preset native -j2

echo "== Tests (native and under Wine)"
ctest --preset native

echo "== Packages: the Debian package installed into a temporary root, and the Windows zip"
(cd build/native && cpack -G DEB >/dev/null)
(cd build/windows && cpack -G ZIP >/dev/null)
raiz=$(mktemp -d "${TMPDIR:-/tmp}/gia-pacote.XXXXXX")
trap 'rm -rf "$raiz"' EXIT
dpkg -x build/native/gia-validador-*-Linux.deb "$raiz"
"$raiz/usr/bin/validagia" --version
"$raiz/usr/bin/validagia" -q examples/gia05-exemplo.txt
# The installed valida, as a caller runs it in its folder: a GIA ST 2 file
# needs the registration library found beside it.
cp examples/giast02-exemplo.txt "$raiz/usr/bin/declaracao.txt"
printf '%-8s%-12s%-128s%-70s\r\n' PARAM GIAST02 "$raiz/usr/bin/declaracao.txt" contribuinte@exemplo.com.br \
  >"$raiz/usr/bin/param.txt"
"$raiz/usr/bin/valida"
[ "$(sed -n 2p "$raiz/usr/bin/param.txt")" = $'OK\r' ] || { echo "the installed valida did not accept examples/giast02-exemplo.txt" >&2; exit 1; }
conteudo=$(unzip -l build/windows/gia-validador-*-Windows.zip)
for arquivo in bin/valida.exe bin/jvmlaunch.exe bin/DllInscE32.dll bin/validagia.exe bin/libvalida.dll \
               include/libvalida/libvalida.h include/libvalida/libvalida.hpp; do
  grep -q " $arquivo\$" <<<"$conteudo" || { echo "not in the zip: $arquivo" >&2; exit 1; }
done

echo "== Sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset debug >/dev/null
cmake --build --preset debug -j2
ctest --preset debug

echo "== Fuzz targets (libFuzzer with AddressSanitizer and UBSan, 20 seconds each)"
scripts/fuzz.sh 20
