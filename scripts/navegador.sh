#!/usr/bin/env bash
# Opens a sample page of validagia's HTML report in a real browser: headless
# Chromium from Debian's package. The page must load (its DOM holds the
# report) with no console message at all (the page has no script: any
# message is a fault, a blocked fetch or a policy violation among them), and
# the browser takes a screenshot of it. A page made to break those rules is
# opened first, so that the check is known to see console messages.
#   scripts/navegador.sh GENERATOR FOLDER
# GENERATOR writes the sample page to the path it is given; FOLDER receives
# the page, the screenshot (exemplo.png) and the browser's logs. Ends with 77
# (skipped) where the browser is not installed.
set -euo pipefail
gerador="$1"
pasta="$2"
navegador=/usr/bin/chromium
if [ ! -x "$navegador" ]; then
  echo "chromium is not installed (scripts/dependencias.sh installs it): skipped"
  exit 77
fi
rm -rf "$pasta"
mkdir -p "$pasta"

# One browser run: a fresh profile, no sandbox (the tests may run as root),
# console messages logged on the standard error stream.
abre() {
  local saida="$1"
  shift
  timeout 120 "$navegador" --headless --no-sandbox --disable-gpu --no-first-run --disable-extensions \
    --disable-background-networking --no-default-browser-check --user-data-dir="$pasta/perfil" \
    --enable-logging=stderr --v=0 --hide-scrollbars "$@" >"$saida.out" 2>"$saida.log"
}
consola() { grep -c ':CONSOLE' "$1" || true; }

# The check sees a console message: an inline script and a fetch, both
# refused by a policy like the report's.
cat >"$pasta/controle.html" <<'HTML'
<!DOCTYPE html><html><head><meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'">
</head><body><p>controle</p><script>document.title = "x";</script></body></html>
HTML
abre "$pasta/controle" --dump-dom "file://$pasta/controle.html"
if [ "$(consola "$pasta/controle.log")" -eq 0 ]; then
  echo "the browser logged no console message for a page with a refused script: the check cannot see them" >&2
  exit 1
fi

"$gerador" "$pasta/exemplo.html"
falhas=0
abre "$pasta/dom" --dump-dom "file://$pasta/exemplo.html"
abre "$pasta/tela" --window-size=1100,1500 --screenshot="$pasta/exemplo.png" "file://$pasta/exemplo.html"
for log in "$pasta/dom.log" "$pasta/tela.log"; do
  if [ "$(consola "$log")" -ne 0 ]; then
    echo "console messages while loading the page ($log):" >&2
    grep ':CONSOLE' "$log" >&2
    falhas=1
  fi
done
if ! grep -q '<h1>Relatório de validação de GIA</h1>' "$pasta/dom.out"; then
  echo "the page did not load: its DOM lacks the report's title" >&2
  falhas=1
fi
achados_pagina=$(grep -c 'class="achado"' "$pasta/exemplo.html" || true)
achados_dom=$(grep -o 'class="achado"' "$pasta/dom.out" | wc -l)
if [ "$achados_dom" -ne "$achados_pagina" ] || [ "$achados_dom" -eq 0 ]; then
  echo "the browser's DOM holds $achados_dom findings, the page $achados_pagina" >&2
  falhas=1
fi
if ! head -c 8 "$pasta/exemplo.png" 2>/dev/null | od -An -tx1 | grep -q '89 50 4e 47 0d 0a 1a 0a'; then
  echo "no screenshot was taken" >&2
  falhas=1
fi
[ "$falhas" -eq 0 ] || exit 1
echo "page loaded with no console message; screenshot: $pasta/exemplo.png"
