#!/usr/bin/env bash
# Packs a build as a .deb, installs it into a fresh root folder, starts the installed program and
# checks the installed files; lintian must find no error (its warnings are listed).
#   tools/check-package.sh BUILD_DIR [FOLDER_FOR_THE_DEB]
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "ÉCHEC : $*" >&2; exit 1; }
[ -f "$build/CPackConfig.cmake" ] ||
    fail "$build n'est pas une construction à empaqueter : tools/package.sh la fait"

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pack" >/dev/null
deb=$(ls "$work"/pack/pivanes_*.deb)

# Dependencies were computed from the libraries the program links.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libsqlite3-0 libpq5 libqt6core6 libqt6widgets6 libqt6printsupport6 \
    qt6-qpa-plugins; do
    grep -q "\b$library\b" <<<"$depends" || fail "dépendance $library absente : $depends"
done

dpkg -x "$deb" "$work/root"
bash "$here/check-install.sh" --tree "$work/root"

# lintian cannot be run as root without this, and a package built here has no signature.
lintian --allow-root --fail-on none --tag-display-limit 0 "$deb" >"$work/lintian.txt" 2>&1
cat "$work/lintian.txt"
errors=$(grep -c '^E:' "$work/lintian.txt" || true)
echo "lintian : $errors erreur(s), $(grep -c '^W:' "$work/lintian.txt" || true) avertissement(s)"
[ "$errors" -eq 0 ] || fail "lintian trouve des erreurs"

if [ $# -lt 2 ]; then
    echo "Paquet conforme : $(basename "$deb")"
else
    cp "$deb" "$2/"
    echo "Paquet conforme : $(realpath "$2")/$(basename "$deb")"
fi
