#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the English program (--zh: the Chinese one).
# --demo starts the sample literature site on 127.0.0.1 and opens the program on it.
# Other arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"

program=Harvlyen
demo=0
args=()
for a in "$@"; do
  case "$a" in
    --zh) program=Harvly ;;
    --demo) demo=1 ;;
    *) args+=("$a") ;;
  esac
done

if ((demo)); then
  site_out=$(mktemp)
  "$root/build/testsite/harvly-testsite" --port 0 >"$site_out" &
  site_pid=$!
  trap 'kill $site_pid 2>/dev/null; rm -f "$site_out"' EXIT
  for _ in $(seq 50); do [[ -s "$site_out" ]] && break; sleep 0.1; done
  site=$(head -n1 "$site_out")
  [[ -n "$site" ]] || { echo "The sample site did not start." >&2; exit 1; }
  echo "Sample site: $site"
  args+=(--site "$site" --update-server "${site%/}" --doi-resolver "${site%/}/doi/")
fi

# Chromium refuses to run as root with its sandbox on.
[[ $(id -u) -ne 0 ]] || export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-background-networking --disable-component-update --disable-sync}"
exe="$root/build/src/app/$program"
# The language button ends this program and starts the other build with the same options:
# the run (and the sample site, and the virtual display) lasts while either program does.
apps="$root/build/src/app/"
run_and_wait() {
  "$@"
  sleep 1
  while pgrep -f "^${apps}Harvly(en)?( |$)" >/dev/null; do
    sleep 1
  done
}
if [[ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "No display: starting under xvfb-run." >&2
  export -f run_and_wait
  export apps
  xvfb-run -a bash -c 'run_and_wait "$@"' run "$exe" "${args[@]}"
  exit
fi
run_and_wait "$exe" "${args[@]}"
