#!/usr/bin/env bash
# Installs the build into a scratch folder as `cmake --install` would for a user, and checks
# that a desktop finds everything it needs there.
set -euo pipefail
build=$1
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
share="$dest/usr/share"
for f in "$dest/usr/bin/Harvlyen" "$dest/usr/bin/Harvly" "$dest/usr/bin/harvly-cli" \
         "$dest/usr/libexec/harvly/harvly-cli-web" \
         "$share/applications/io.github.harvly.Harvlyen.desktop" \
         "$share/applications/io.github.harvly.Harvly.desktop" \
         "$share/metainfo/io.github.harvly.Harvlyen.metainfo.xml" \
         "$share/icons/hicolor/48x48/apps/harvly.png" \
         "$share/icons/hicolor/128x128/apps/harvly.png" \
         "$share/icons/hicolor/scalable/apps/harvly.svg" \
         "$share/bash-completion/completions/harvly-cli" \
         "$share/harvly/translations/harvly_zh_CN.qm"; do
  [[ -s "$f" ]] || { echo "missing: ${f#$dest}"; exit 1; }
done
# The PDF library's module, in the library folder's "harvly", where the programs look for it.
find "$dest/usr/lib" -path "*/harvly/libharvly_pdf.so" | grep -q . || { echo "missing: the PDF module"; exit 1; }
# The icons are the sizes their folders say.
file "$share/icons/hicolor/48x48/apps/harvly.png" | grep -q "48 x 48" || { echo "48 px icon is not 48 px"; exit 1; }
file "$share/icons/hicolor/128x128/apps/harvly.png" | grep -q "128 x 128" || { echo "128 px icon is not 128 px"; exit 1; }
# The installed command line runs and its completion loads.
"$dest/usr/bin/harvly-cli" --version | grep -q "^harvly-cli "
# A command that needs the browser engine goes to harvly-cli-web, which reads its options.
said=$("$dest/usr/bin/harvly-cli" cookies import /nonexistent/cookies.txt 2>&1 || true)
grep -q "^cookies: cannot read" <<<"$said" || { echo "cookies import not handed over: $said"; exit 1; }
bash -c "source '$share/bash-completion/completions/harvly-cli' && complete -p harvly-cli" >/dev/null
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share"/applications/*.desktop
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$share"/metainfo/*.xml >/dev/null
fi
echo "installed files complete"
