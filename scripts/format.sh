#!/usr/bin/env bash
# Formats the C++ sources with the project's .clang-format; --check only reports what
# would change and fails when anything would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' \
                                  'testsite/*.cpp' 'testsite/*.h')
if [[ "${1:-}" == "--check" ]]; then
  clang-format --dry-run -Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
