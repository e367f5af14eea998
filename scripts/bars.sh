#!/usr/bin/env bash
# The shape bars of the sources: window files over 600 lines, functions over 80 lines, and
# the places that sleep. Prints what is over; exits 1 when anything is (0 otherwise).
# Functions are found by this code's style: a body opens with "{" alone at the start of a
# line and closes with "}" alone there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
over=0

while read -r lines file; do
  if [[ $file != total && $lines -gt 600 ]]; then
    echo "file over 600 lines: $file ($lines)"
    over=1
  fi
done < <(find src/gui -name '*.cpp' -o -name '*.h' | sort | xargs wc -l)

long=$(find src -name '*.cpp' | sort | xargs awk '
  FNR == 1 { start = 0 }
  /^\{$/ { start = FNR; signature = previous }
  /^\}$/ && start { n = FNR - start - 1; if (n > 80) printf "function over 80 lines: %s:%d %s (%d)\n", FILENAME, start, signature, n; start = 0 }
  { previous = $0 }')
if [[ -n $long ]]; then
  echo "$long"
  over=1
fi

sleeps=$(grep -rn 'sleepFor' src | wc -l)
echo "sleepFor: $sleeps places (bar: 6)"
((sleeps <= 6)) || over=1
exit $over
