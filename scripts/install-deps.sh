#!/usr/bin/env bash
# Installs the Debian packages of the named lists that are not installed yet.
#   install-deps.sh build        what building and running need
#   install-deps.sh build test   and what the tests need too
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[[ $# -gt 0 ]] || set -- build
missing=()
for list in "$@"; do
  file="$here/packages-$list.txt"
  [[ -f "$file" ]] || { echo "install-deps.sh: no package list $file" >&2; exit 2; }
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done < "$file"
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

command=(apt-get install -y --no-install-recommends "${missing[@]}")
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "Huespin needs Debian packages that are not installed, and installing them" >&2
    echo "takes root, but you are not root and sudo is not installed. As root, run:" >&2
    echo >&2
    echo "    apt-get update && ${command[*]}" >&2
    echo >&2
    echo "then run this again." >&2
    exit 1
  fi
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" "${command[@]}" -q
