#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those missing;
# packages named as arguments (the benchmarks' library) are added to the list.
set -euo pipefail
packages=(qt6-base-dev qt6-base-dev-tools libqscintilla2-qt6-dev libgl-dev cmake g++ make
          xvfb xauth fonts-dejavu-core clang libclang-rt-14-dev
          desktop-file-utils appstream shared-mime-info dpkg-dev file ccache lld python3 "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
# Through env: sudo would drop the variable and let a package stop to ask.
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
