#!/bin/sh
# Runs every validagia example of the README (the indented lines that start
# with "validagia ") beside the repository's examples, with the built validagia
# first on PATH: each must end as a validation does (0 or 1), never as a
# usage error or an unreadable file (2).
#   readme.sh REPOSITORY BUILD_FOLDER_OF_VALIDAGIA
raiz=$1 pasta=$2
PATH="$pasta:$PATH"
export PATH
exemplos=$(sed -n 's/^    \(validagia .*\)$/\1/p' "$raiz/README.md")
# In a folder of their own beside the repository's examples, so that what
# they write stays out of the repository.
trabalho=$(mktemp -d "${TMPDIR:-/tmp}/validagia-readme.XXXXXX") || exit 1
trap 'rm -rf "$trabalho"' EXIT
ln -s "$raiz/examples" "$trabalho/examples"
cd "$trabalho" || exit 1
[ -n "$exemplos" ] || { echo "the README has no validagia example"; exit 1; }
falhou=0
echo "$exemplos" | while IFS= read -r comando; do
  sh -c "$comando" > /dev/null 2> /tmp/validagia-readme.$$; status=$?
  if [ "$status" -gt 1 ]; then
    echo "README example failed ($status): $comando"; cat /tmp/validagia-readme.$$
    echo falhou > /tmp/validagia-readme.$$.falhou
  fi
done
rm -f /tmp/validagia-readme.$$
if [ -f /tmp/validagia-readme.$$.falhou ]; then rm -f /tmp/validagia-readme.$$.falhou; exit 1; fi
exit $falhou
