#!/usr/bin/env bash
# Checks that every #include "folder/..." in a source tree points at the same floor or one below.
# Folders on one floor must not include each other either: pages stay independent of each other.
# Usage: include-layers.sh SRC_DIR   (exit 0: clean; 1: an include runs up or sideways; 2: misuse)
set -euo pipefail

src="${1:?usage: include-layers.sh SRC_DIR}"
[[ -d "$src" ]] || { echo "no such folder: $src" >&2; exit 2; }

# The floors, lowest first. A folder of src/ missing here is an error: the table must be kept whole.
declare -A floor=(
  [controls]=0 [platform]=0
  [registry]=1
  [core]=2
  [undo]=3
  [probe]=4
  [scanwalk]=5
  [scan]=6 [history]=6 [backup]=6 [startup]=6 [uninstall]=6 [browser]=6
  [app]=7 [console]=7
  [win32]=8
)

status=0
for dir in "$src"/*/; do
  from="$(basename "$dir")"
  if [[ -z "${floor[$from]+set}" ]]; then
    echo "src/$from: not in the floor table of $0"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    to="$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([^/"]+)\/.*/\1/' <<<"$text")"
    [[ "$to" == "$from" || -z "${floor[$to]+set}" ]] && continue
    if ((floor[$to] >= floor[$from])); then
      echo "${file#"$src"/}:$line includes $to/ (floor ${floor[$to]}) from $from/ (floor ${floor[$from]})"
      status=1
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^/"]+/' "$dir" --include='*.h' \
             --include='*.cpp' --include='*.inc' || true)
done
exit "$status"
