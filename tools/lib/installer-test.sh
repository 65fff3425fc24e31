# shellcheck shell=bash
# shellcheck disable=SC2154 # $wine, $root, $problems and the test functions come from tools/test
# The release checks under Wine for tools/test: the setup program and the window at 144 DPI. Sourced,
# not run; it calls tools/test's run_gtest, so what it runs counts in tools/test's summary, and it
# expects the Xvfb display and the Wine prefix of tools/lib/wine.sh to be set up.
#
#   installer_tests BUILD LOGS  BUILD is the windows-x64 build folder (with packages/ made by its
#                               `package` target). Installs the setup program silently into the prefix
#                               through the disabled Installer tests of korvane_win_tests.exe (which
#                               uninstall it again), then runs the WindowLayout tests with Wine set to
#                               144 DPI and saves the program's window at that DPI to LOGS/korvane-144dpi.png.

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

# _installer_shot EXE PNG: starts the program, saves its window once it is shown and has painted, and
# closes it again.
_installer_shot() {
  local exe="$1" png="$2" pid window="" geometry x y w h _
  (cd "$(dirname "$exe")" && exec "$wine" "$exe") >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 120); do
    window="$(xdotool search --onlyvisible --name '^Korvane$' 2>/dev/null | head -n 1 || true)"
    [[ -n "$window" ]] && break
    sleep 0.5
  done
  if [[ -n "$window" ]]; then
    sleep 3 # the first paint
    geometry="$(xdotool getwindowgeometry --shell "$window" 2>/dev/null || true)"
    x="$(sed -n 's/^X=//p' <<<"$geometry")" y="$(sed -n 's/^Y=//p' <<<"$geometry")"
    w="$(sed -n 's/^WIDTH=//p' <<<"$geometry")" h="$(sed -n 's/^HEIGHT=//p' <<<"$geometry")"
    if [[ -n "$w" ]]; then
      import -window root -crop "${w}x${h}+${x}+${y}" +repage "$png" 2>/dev/null || true
    fi
    xdotool key --window "$window" alt+F4 2>/dev/null || true
    for _ in $(seq 40); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.25
    done
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [[ -f "$png" ]]
}

installer_tests() {
  local build="$1" logs="$2" tests="$1/korvane_win_tests.exe" setup
  setup="$(find "$build/packages" -maxdepth 1 -name 'Korvane-*-x64-setup.exe' 2>/dev/null | head -n 1)"
  if [[ -z "$setup" ]]; then
    problems+=("installer: no setup program in ${build#"$root"/}/packages (the package target failed?)")
    return 1
  fi
  if [[ ! -f "$build/packages/$(basename "$setup" -setup.exe)-portable.zip" ]]; then
    problems+=("installer: the portable zip is missing beside $(basename "$setup")")
  fi

  _installer_forget
  KORVANE_SETUP="$("$wine" winepath -w "$setup" 2>/dev/null | tr -d '\r')" \
    GTEST_FILTER='Installer.*' GTEST_ALSO_RUN_DISABLED_TESTS=1 \
    run_gtest "installer (wine64)" "$tests" "$wine" || true
  _installer_forget

  # Wine reads the DPI when a program starts: set it, run, and put it back even when interrupted.
  trap '_installer_reset_dpi; wine_cleanup' EXIT
  if "$wine" reg add "$_installer_desktop_key" /v LogPixels /t REG_DWORD /d 144 /f </dev/null >/dev/null 2>&1; then
    KORVANE_EXPECTED_DPI=144 GTEST_FILTER='WindowLayout.*' \
      run_gtest "window at 144 DPI (wine64)" "$tests" "$wine" || true
    if _installer_shot "$build/Korvane.exe" "$logs/korvane-144dpi.png"; then
      say "installer: the window at 144 DPI is in ${logs#"$root"/}/korvane-144dpi.png"
    else
      problems+=("installer: no screenshot of the window at 144 DPI")
    fi
  else
    problems+=("installer: could not set Wine to 144 DPI")
  fi
  _installer_reset_dpi
  trap wine_cleanup EXIT
}
