#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Quick when everything is present: it only asks dpkg.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-multimedia-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  qcoro-qt6-dev libgumbo-dev libpoppler-cpp-dev libsqlite3-dev libgl-dev zlib1g-dev libbrotli-dev
  xvfb xauth fonts-wqy-microhei file curl time openssl procps
  # readers of RIS, BibTeX and CSL-JSON that the citation tests read the exports back with
  bibutils python3-pybtex python3-pylatexenc python3-citeproc
  # PDF producers and checker the document-check tests compare with
  ghostscript python3-cairo qpdf texlive-latex-base
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
