# shellcheck shell=bash
# Reads test counts out of GoogleTest and CTest logs for tools/test.
# Sourced, not run. Each function prints "PASSED FAILED" for one log; a run that ended without its
# summary (a crash, a hang cut off by timeout) counts as one failure more than its logged failures.

# gtest_counts LOG EXIT_CODE
gtest_counts() {
  local log="$1" rc="$2" passed failed
  # Under Wine the output has CRLF line ends; strip them before matching.
  passed="$(tr -d '\r' <"$log" | grep -cE '^\[       OK \] ' || true)"
  # Per-test failure lines carry a duration; the repeated list at the end does not.
  failed="$(tr -d '\r' <"$log" | grep -cE '^\[  FAILED  \] .*\([0-9]+ ms\)$' || true)"
  if ! tr -d '\r' <"$log" | grep -qE '^\[==========\] [0-9]+ tests? from .* ran\.'; then
    failed=$((failed + 1))
  elif [[ "$rc" -ne 0 && "$failed" -eq 0 ]]; then
    failed=1
  fi
  echo "$passed $failed"
}

# ctest_counts LOG EXIT_CODE
ctest_counts() {
  local log="$1" rc="$2" total failed skipped
  # A build that registered no tests has lost them: that is a failure, not an empty success.
  if grep -q 'No tests were found' "$log"; then
    echo "0 1"
    return
  fi
  local line
  line="$(grep -oE '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n1 || true)"
  if [[ -z "$line" ]]; then
    echo "0 1"
    return
  fi
  failed="$(awk '{print $1}' <<<"$line")"
  total="$(awk '{print $6}' <<<"$line")"
  skipped="$(grep -cE '\(Skipped\)$' "$log" || true)"
  if [[ "$rc" -ne 0 && "$failed" -eq 0 ]]; then
    failed=1
  fi
  echo "$((total - failed - skipped)) $failed"
}
