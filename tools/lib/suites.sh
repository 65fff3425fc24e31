# shellcheck shell=bash
# Which test executables the tree must produce, and whether each one ran tests. Sourced, not run.
# Each folder of tests/ that holds sources is one executable korvane_<folder>_tests, except that
# conformance_memory joins korvane_conformance_tests, and that win32 and conformance make up
# korvane_win_tests.exe in the Windows build. A folder without .cpp files only supports others.

# test_folders ROOT: the folders of tests/ that hold test sources, one a line.
test_folders() {
  local dir
  for dir in "$1"/tests/*/; do
    [[ -n "$(find "$dir" -name '*.cpp' -print -quit)" ]] && basename "$dir"
  done
  return 0
}

# native_executables ROOT: the native test executables, one a line.
native_executables() {
  local folder
  while read -r folder; do
    case "$folder" in
      win32) ;;
      conformance_memory) echo korvane_conformance_tests ;;
      *) echo "korvane_${folder}_tests" ;;
    esac
  done < <(test_folders "$1") | sort -u
}

# windows_executables ROOT: the test executables of the Windows build, one a line.
windows_executables() {
  local folder
  while read -r folder; do
    case "$folder" in
      win32 | conformance) echo korvane_win_tests.exe ;;
    esac
  done < <(test_folders "$1") | sort -u
}

# ctest_ran LISTING LOG: "EXECUTABLE COUNT" for each executable with tests that ran (passed or
# failed, not skipped or not run). LISTING is the output of `ctest -N -V`, which names each test's
# command; LOG is the output of the run.
ctest_ran() {
  awk '
    FNR == NR {
      if (match($0, /^[0-9]+: Test command: [^ ]+/)) {
        n = substr($0, 1, index($0, ":") - 1)
        cmd = substr($0, RSTART, RLENGTH); sub(/^.*Test command: /, "", cmd)
        sub(/^.*\//, "", cmd); gsub(/"/, "", cmd)
        exe[n] = cmd
      }
      next
    }
    match($0, /Test +#[0-9]+: /) {
      n = substr($0, RSTART, RLENGTH); gsub(/[^0-9]/, "", n)
      if ($0 ~ /(Passed|\*\*\*Failed|\*\*\*Exception|\*\*\*Timeout)/ && (n in exe)) ran[exe[n]]++
    }
    END { for (e in ran) print e, ran[e] }
  ' "$1" "$2"
}
