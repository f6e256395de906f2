#!/usr/bin/env bash
# Installs a build into a scratch DESTDIR and checks every installed file with its own tool.
#   tools/check-install.sh BUILD_DIR      installs the build, then checks it
#   tools/check-install.sh --tree ROOT    checks what is already installed under ROOT/usr
set -euo pipefail
if [ "$1" = "--tree" ]; then
    usr="$2/usr"
else
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    DESTDIR="$root" cmake --install "$1" --prefix /usr >/dev/null
    usr="$root/usr"
fi

fail() { echo "ÉCHEC : $*" >&2; exit 1; }

for file in bin/pivanes share/applications/org.example.Pivanes.desktop \
    share/metainfo/org.example.Pivanes.metainfo.xml share/icons/hicolor/scalable/apps/pivanes.svg \
    share/man/man1/pivanes.1.gz share/pivanes/Lisez-Moi.html share/doc/pivanes/copyright \
    share/doc/pivanes/changelog.gz; do
    [ -f "$usr/$file" ] || fail "$file n'est pas installé"
done
for size in 16 22 24 32 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/pivanes.png"
    file "$icon" | grep -q "PNG image data, $size x $size," || fail "icône $size px : $(file "$icon")"
done
xmllint --noout "$usr/share/icons/hicolor/scalable/apps/pivanes.svg"

desktop-file-validate "$usr/share/applications/org.example.Pivanes.desktop"
appstreamcli validate --no-net --explain "$usr/share/metainfo/org.example.Pivanes.metainfo.xml"
# The entry starts the installed program and shows the installed icon.
grep -qx "Exec=pivanes" "$usr/share/applications/org.example.Pivanes.desktop"
grep -qx "Icon=pivanes" "$usr/share/applications/org.example.Pivanes.desktop"

warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l "$usr/share/man/man1/pivanes.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "page de manuel : $warnings"
page=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$usr/share/man/man1/pivanes.1.gz")
grep -q -- "--dossier DOSSIER" <<<"$page" || fail "la page de manuel ne montre pas les options"
# Every installed file the page names is where it says, for the prefix of this install.
named=$(grep -oE '(^|[[:space:]])/[[:alnum:]_./-]*[[:alnum:]]' <<<"$page" | sed 's/^[[:space:]]*//' | sort -u)
[ -n "$named" ] || fail "la page de manuel ne nomme aucun fichier installé"
for file in $named; do
    [ -e "${usr%/usr}$file" ] || fail "la page de manuel nomme $file, qui n'est pas installé"
done

# Every picture and page the guide points to is installed with it.
guide="$usr/share/pivanes/Lisez-Moi.html"
xmllint --noout "$guide" # written as XHTML, so that any unclosed tag shows
for picture in $(grep -o 'src="[^"]*"' "$guide" | sed 's/^src="//; s/"$//'); do
    [ -f "$usr/share/pivanes/$picture" ] || fail "le guide montre $picture, absent"
done

[ "$("$usr/bin/pivanes" --version)" = "Pivanes 5.0.2" ] || fail "pivanes --version"
# The server engine is installed in the program's own folder of libraries, where the installed
# program finds it: its reading of a connection (a password refused) comes from the module.
module=$(find "$usr/lib" -path '*/pivanes/pivanes-postgres.so')
[ -n "$module" ] || fail "le module du serveur pivanes-postgres.so n'est pas installé"
refusal=$(env -u PIVANES_MODULE_DIR "$usr/bin/pivanes" --serveur postgresql://r:secret@h/b 2>&1) &&
    fail "une connexion avec mot de passe est acceptée"
grep -q "mot de passe" <<<"$refusal" || fail "le module du serveur ne se charge pas : $refusal"
echo "Fichiers installés conformes."
