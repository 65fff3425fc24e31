# shellcheck shell=bash
# shellcheck disable=SC2154 # $wine comes from tools/lib/wine.sh, gtest_counts from tools/lib/counts.sh
# The release checks under Wine for tools/test: the setup program and the window at 144 DPI. Sourced,
# not run; it expects the Xvfb display and the Wine prefix of tools/lib/wine.sh to be set up, and
# tools/lib/counts.sh to be sourced.
#
#   installer_tests BUILD LOGS  BUILD is the windows-x64 build folder (with packages/ made by its
#                               `package` target). Installs the setup program silently into the prefix
#                               through the disabled Installer tests of korvane_win_tests.exe (which
#                               uninstall it again), then runs the WindowLayout tests with Wine set to
#                               144 DPI and saves the program's window at that DPI to LOGS/korvane-144dpi.png.
#
# It changes nothing of its caller's: it runs in a subshell of its own and hands back its results. Its
# summary goes to standard output, one result a line, the fields separated by tabs:
#   suite   NAME  PASSED  FAILED   a test run under Wine and its counts (log: LOGS/gtest-NAME.log)
#   problem TEXT                   a failure outside the test counts (no setup program, no screenshot)
#   note    TEXT                   something to tell (where the screenshot is)
# The logs of failed runs go to standard error. Exits with 0 when every test passed and no problem
# came up, else with 1.

# shellcheck source=tools/lib/window-shot.sh
source "$(dirname "${BASH_SOURCE[0]}")/window-shot.sh"

_installer_uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Korvane'
_installer_desktop_key='HKCU\Control Panel\Desktop'

# Whatever an interrupted earlier run left installed: the tests start from a machine without Korvane.
_installer_forget() {
  "$wine" reg delete "$_installer_uninstall_key" /f /reg:64 </dev/null >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX/drive_c/Program Files/Korvane" \
    "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Korvane.lnk"
  rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Korvane
}

_installer_reset_dpi() {
  "$wine" reg delete "$_installer_desktop_key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true
}

# _installer_problem TEXT: one problem line of the summary.
_installer_problem() {
  printf 'problem\t%s\n' "$1"
}

# _installer_gtest NAME EXE LOGS [VAR=VALUE...]: runs the test executable EXE under Wine in its own
# folder with the given environment, prints its suite line, and shows what failed on standard error.
# Returns 1 when a test failed or none ran.
_installer_gtest() {
  local name="$1" exe="$2" logs="$3" rc=0 passed failed ran log
  shift 3
  log="$logs/gtest-${name//[^A-Za-z0-9_.-]/_}.log"
  if [[ ! -f "$exe" ]]; then
    _installer_problem "$name: $exe was not built"
    return 1
  fi
  (cd "$(dirname "$exe")" && env "$@" timeout 1800 "$wine" "$exe" --gtest_color=no </dev/null >"$log" 2>&1) ||
    rc=$?
  read -r passed failed < <(gtest_counts "$log" "$rc")
  printf 'suite\t%s\t%s\t%s\n' "$name" "$passed" "$failed"
  if ((failed)); then
    {
      echo "---- $log (exit code $rc)"
      tr -d '\r' <"$log" | grep -vE '^\[ (RUN|      OK) ' | tail -n 400
      echo "----"
    } >&2
  fi
  ran="$(tr -d '\r' <"$log" | sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' | tail -n1)"
  if [[ "${ran:-0}" -eq 0 ]]; then
    _installer_problem "$name: ${exe##*/} ran no test (log: $log)"
    return 1
  fi
  ((failed == 0))
}

# _installer_shot EXE PNG: starts the program, saves its window once it is shown and its picture has
# settled, and closes it again. Returns 1 when the window did not show or did not settle in time.
_installer_shot() {
  local exe="$1" png="$2" pid window rc=0 _
  (cd "$(dirname "$exe")" && exec "$wine" "$exe") >/dev/null 2>&1 &
  pid=$!
  if window="$(window_wait_shown '^Korvane$' 60 "$pid")"; then
    window_settle "$window" "$png" 30 "" "$pid" >/dev/null || rc=$?
    xdotool key --window "$window" alt+F4 2>/dev/null || true
    for _ in $(seq 40); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.25
    done
  else
    rc=1
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  ((rc == 0)) && [[ -f "$png" ]]
}

installer_tests() (
  build="$1" logs="$2" tests="$1/korvane_win_tests.exe" failed=0
  setup="$(find "$build/packages" -maxdepth 1 -name 'Korvane-*-x64-setup.exe' 2>/dev/null | head -n 1)"
  if [[ -z "$setup" ]]; then
    _installer_problem "installer: no setup program in $build/packages (the package target failed?)"
    exit 1
  fi
  if [[ ! -f "$build/packages/$(basename "$setup" -setup.exe)-portable.zip" ]]; then
    _installer_problem "installer: the portable zip is missing beside $(basename "$setup")"
    failed=1
  fi

  _installer_forget
  _installer_gtest "installer (wine64)" "$tests" "$logs" \
    "KORVANE_SETUP=$("$wine" winepath -w "$setup" 2>/dev/null | tr -d '\r')" \
    GTEST_FILTER='Installer.*' GTEST_ALSO_RUN_DISABLED_TESTS=1 || failed=1
  _installer_forget

  # Wine reads the DPI when a program starts: set it, run, and put it back even when interrupted.
  trap _installer_reset_dpi EXIT
  if "$wine" reg add "$_installer_desktop_key" /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1; then
    _installer_gtest "window at 144 DPI (wine64)" "$tests" "$logs" \
      KORVANE_EXPECTED_DPI=144 GTEST_FILTER='WindowLayout.*' || failed=1
    if _installer_shot "$build/Korvane.exe" "$logs/korvane-144dpi.png"; then
      printf 'note\tinstaller: the window at 144 DPI is in %s\n' "$logs/korvane-144dpi.png"
    else
      _installer_problem "installer: no settled screenshot of the window at 144 DPI"
      failed=1
    fi
  else
    _installer_problem "installer: could not set Wine to 144 DPI"
    failed=1
  fi
  exit "$failed"
)
