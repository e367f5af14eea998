#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test headless through CTest.
# Arguments go to ctest (for example -R settings).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/format.sh" --check
"$root/scripts/build.sh"

# The desktop files and the AppStream metainfo, when the validators are installed.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root"/resources/desktop/*.desktop
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root"/resources/desktop/*.metainfo.xml
fi

export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --disable-background-networking --disable-component-update --disable-sync"
runtime=$(mktemp -d)
chmod 0700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
trap 'rm -rf "$runtime"' EXIT

cd "$root/build"
ctest --output-on-failure -j2 --timeout 600 "$@"
