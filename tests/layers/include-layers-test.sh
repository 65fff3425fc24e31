#!/usr/bin/env bash
# The floor check's own cases, on small trees made here: it must refuse what runs up or sideways.
set -euo pipefail
check="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/tools/lib/include-layers.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# expect NAME STATUS FILE=INCLUDE...: builds a tree of one-line files, runs the check, compares.
expect() {
  local name="$1" want="$2"
  shift 2
  local tree="$work/$name"
  mkdir -p "$tree"
  for spec in "$@"; do
    local file="${spec%%=*}" include="${spec#*=}"
    mkdir -p "$tree/$(dirname "$file")"
    printf '#include "%s"\n' "$include" >>"$tree/$file"
  done
  local got=0
  "$check" "$tree" >"$work/$name.out" 2>&1 || got=$?
  if [[ "$got" != "$want" ]]; then
    echo "FAIL $name: exit $got, expected $want"
    cat "$work/$name.out"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect downward 0 scan/A.cpp=undo/B.h undo/B.h=registry/C.h registry/C.h=platform/D.h platform/D.h=x.h
expect same-folder 0 scan/A.cpp=scan/B.h scan/B.h=core/C.h core/C.h=core/D.h
expect upward 1 undo/A.cpp=scan/B.h scan/B.h=x.h
expect upward-in-header 1 registry/A.h=core/B.h core/B.h=x.h
expect page-to-page 1 startup/A.cpp=uninstall/B.h uninstall/B.h=x.h
expect walk-to-page 1 scanwalk/A.cpp=scan/B.h scan/B.h=x.h
expect unknown-folder 1 mystery/A.cpp=core/B.h core/B.h=x.h
# An indented directive with blanks after the hash is still an include.
expect indented 1 undo/A.cpp=history/B.h history/B.h=x.h
sed -i 's/#include/  #  include/' "$work/indented/undo/A.cpp"
if "$check" "$work/indented" >/dev/null 2>&1; then
  echo "FAIL indented: an indented directive was not read"
  failures=$((failures + 1))
fi
exit "$((failures > 0))"
