#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the English program (--zh: the Chinese one).
# Other arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"

program=Harvlyen
args=()
for a in "$@"; do
  if [[ "$a" == "--zh" ]]; then program=Harvly; else args+=("$a"); fi
done

# Chromium refuses to run as root with its sandbox on.
[[ $(id -u) -ne 0 ]] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-background-networking --disable-component-update --disable-sync}"
exe="$root/build/src/app/$program"
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting under xvfb-run." >&2
  exec xvfb-run -a "$exe" "${args[@]}"
fi
exec "$exe" "${args[@]}"
