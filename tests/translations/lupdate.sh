#!/usr/bin/env bash
# The Chinese texts as lupdate finds them in the sources: running the Harvly_lupdate target
# must leave the translation file as it is (no message lost, none left untranslated, no churn).
# Run on a copy, so the file in the sources is never touched.
set -euo pipefail
build=$1
ts=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
project=$build/src/app/.lupdate/Harvly_project.cmake
generator=$(find /usr/lib -path '*Qt6LinguistTools/GenerateLUpdateProject.cmake' -print -quit)
cmake -DIN_FILE="$project" -DOUT_FILE="$work/project.json" -P "$generator"
cp "$ts" "$work/harvly.ts"
/usr/lib/qt6/bin/lupdate -project "$work/project.json" -no-obsolete -locations none \
  -ts "$work/harvly.ts"
if ! diff -u "$ts" "$work/harvly.ts"; then
  echo "lupdate changes the translation file: translate the new texts in $ts" >&2
  exit 1
fi
grep -q 'type="unfinished"' "$ts" && { echo "untranslated texts in $ts" >&2; exit 1; }
exit 0
