# shellcheck shell=bash
# The private X display and Wine prefixes for tools/run, tools/test and tools/bench. Sourced, not run.
#
#   xvfb_start LOGDIR [NAME] starts Xvfb and exports DISPLAY once the server accepts connections
#                            (its log and display number go to LOGDIR/NAME.log and .display)
#   wine_prepare PREFIX LOG  exports WINEPREFIX and WINEDEBUG; makes the prefix once (Windows 10)
#   wine_cleanup             stops the prefix's wineserver and the Xvfb started here
#
# Each returns non-zero after putting the reason into $wine_error (and on stderr).

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
wine_error=""
xvfb_pid=""
wine_prefix_used=""

_wine_fail() {
  # shellcheck disable=SC2034 # read by the scripts that source this file
  wine_error="$*"
  printf 'wine: %s\n' "$*" >&2
  return 1
}

# -displayfd makes Xvfb write the display number only once it listens; a program started before
# that has been seen to spin without ever showing its window. The round trip through xdotool
# makes sure a client really gets through before anyone relies on the display.
xvfb_start() {
  local logdir="$1" name="${2:-xvfb}" _
  local fdfile="$logdir/$name.display" log="$logdir/$name.log"
  [[ -n "$xvfb_pid" ]] && return 0
  mkdir -p "$logdir"
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >"$log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s "$fdfile" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s "$fdfile" ]]; then
    _wine_fail "Xvfb did not start (log: $log)"
    return 1
  fi
  DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
  export DISPLAY
  for _ in $(seq 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  _wine_fail "Xvfb on $DISPLAY does not accept connections (log: $log)"
}

# A prefix is made once and reused. Mono and Gecko are not wanted (the program needs neither) and
# their installers would wait for a click. Wine is told to report Windows 10, the version the
# program is written for, instead of whatever this Wine release defaults to.
wine_prepare() {
  local prefix="$1" log="$2"
  export WINEPREFIX="$prefix" WINEDEBUG=-all
  wine_prefix_used="$prefix"
  mkdir -p "$(dirname "$log")"
  if [[ ! -f "$prefix/system.reg" ]]; then
    mkdir -p "$prefix"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i </dev/null >"$log" 2>&1 || true
    "$wineserver" -w || true
    if [[ ! -f "$prefix/system.reg" ]]; then
      _wine_fail "wineboot could not create $prefix (log: $log)"
      return 1
    fi
  fi
  # user.reg is written by wineserver on exit, hence the -w before looking (and a prefix made
  # before this setting existed gets it too).
  if ! awk '/^\[/ { s = index($0, "[Software\\\\Wine]") == 1 } s && /^"Version"="win10"/ { f = 1 }
            END { exit !f }' "$prefix/user.reg" 2>/dev/null; then
    "$wine" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f </dev/null >>"$log" 2>&1 ||
      { _wine_fail "could not set the Windows version in $prefix (log: $log)"; return 1; }
    "$wineserver" -w || true
  fi
}

wine_cleanup() {
  if [[ -n "$wine_prefix_used" ]]; then
    WINEPREFIX="$wine_prefix_used" "$wineserver" -k >/dev/null 2>&1 || true
  fi
  if [[ -n "$xvfb_pid" ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
}
