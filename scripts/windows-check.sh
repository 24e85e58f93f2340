#!/usr/bin/env bash
# Cross-compiles the Windows registry lookup (src/languages/platformRegistry.cpp with its
# ANSI registry calls, and ReadRegistryString) with MinGW-w64, writes the game's registry
# value into a fresh Wine prefix as its 32-bit installer would, and runs the check under
# Wine. Not part of scripts/test.sh: it installs about 1 GB of packages.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++-mingw-w64-x86-64-posix wine64)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== Compiling for Windows (x86_64-w64-mingw32, -Wall -Wextra -Werror)"
x86_64-w64-mingw32-g++-posix -std=c++20 -Wall -Wextra -Werror -O1 -Isrc -Itests/windows/qt \
  tests/windows/registry_check.cpp src/gamepath/registryFinder.cpp src/gamepath/platformRegistry.cpp \
  -static -ladvapi32 -o "$work/registry_check.exe"

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
echo "== Creating a fresh Wine prefix"
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w

# Where the game's 32-bit installer writes, as 64-bit Windows keeps it (the 32-bit view).
key='HKLM\Software\LucasArts Entertainment Company LLC\Star Wars JK II Jedi Outcast\1.0'
echo "== Writing the game's key"
"$wine" reg add "$key" /v "Install Path" /t REG_SZ /d 'C:\Games\Jedi Outcast Café' /reg:32 /f
"$wine" reg add "$key" /v "Expanded Path" /t REG_EXPAND_SZ /d '%ProgramFiles%\Jedi Outcast' /reg:32 /f
"$wine" reg add "$key" /v "Version" /t REG_DWORD /d 1 /reg:32 /f
"$wineserver" -w

echo "== Running the check under Wine"
status=0
"$wine" "$work/registry_check.exe" || status=$?
"$wineserver" -k || true
"$wineserver" -w
exit $status
