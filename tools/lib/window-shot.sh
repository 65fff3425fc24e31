# shellcheck shell=bash
# Screenshots of a program's window on the X display, taken once the window is shown and its picture
# has stopped changing, for tools/run and tools/lib/installer-test.sh. Sourced, not run. Needs xdotool
# and ImageMagick (import, identify). Nothing here waits a fixed time: each wait looks again every
# quarter second until what it waits for is there or its bound in seconds has passed.
#
#   window_wait_shown TITLE SECONDS [PID]   prints the X id of the first visible window whose title
#                                           matches the regular expression TITLE; returns 1 when none
#                                           is shown in time, 2 when the process PID ended first
#   window_shot WINDOW FILE                 saves the window's part of the screen as it is now
#   window_settle WINDOW FILE SECONDS [BEFORE] [PID]
#                                           saves the window once its picture is not one flat colour,
#                                           is the same in two shots in a row (painting has finished)
#                                           and, given the signature BEFORE of an earlier picture,
#                                           differs from it (the window has changed). Prints the
#                                           picture's signature (pass it as BEFORE to the next call).
#                                           Returns 1 when it did not settle in time (the last look is
#                                           saved all the same), 2 when the process PID ended first.

window_wait_shown() {
  local title="$1" deadline=$((SECONDS + $2)) pid="${3:-}" found
  while :; do
    found="$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)"
    if [[ -n "$found" ]]; then
      echo "$found"
      return 0
    fi
    if [[ -n "$pid" ]] && ! kill -0 "$pid" 2>/dev/null; then
      return 2
    fi
    ((SECONDS < deadline)) || return 1
    sleep 0.25
  done
}

window_shot() {
  local window="$1" out="$2" geometry x y w h
  geometry="$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)" || return 1
  x="$(sed -n 's/^X=//p' <<<"$geometry")"
  y="$(sed -n 's/^Y=//p' <<<"$geometry")"
  w="$(sed -n 's/^WIDTH=//p' <<<"$geometry")"
  h="$(sed -n 's/^HEIGHT=//p' <<<"$geometry")"
  [[ -n "$x" && -n "$y" && "${w:-0}" -gt 1 && "${h:-0}" -gt 1 ]] || return 1
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out" 2>/dev/null
}

window_settle() {
  local window="$1" out="$2" deadline=$((SECONDS + $3)) before="${4:-}" pid="${5:-}"
  local shot previous="" signature deviation
  shot="$(dirname "$out")/.window-settle-$$.png"
  while :; do
    if [[ -n "$pid" ]] && ! kill -0 "$pid" 2>/dev/null; then
      rm -f "$shot"
      return 2
    fi
    signature="" deviation=0
    if window_shot "$window" "$shot"; then
      read -r signature deviation < <(identify -format '%# %[fx:standard_deviation]\n' "$shot" 2>/dev/null || true)
    fi
    if [[ -n "$signature" && "$signature" == "$previous" && "$signature" != "$before" ]] &&
      awk -v d="$deviation" 'BEGIN { exit !(d > 0.01) }'; then
      mv "$shot" "$out"
      echo "$signature"
      return 0
    fi
    if ((SECONDS >= deadline)); then
      [[ -f "$shot" ]] && mv "$shot" "$out"
      echo "$signature"
      return 1
    fi
    previous="$signature"
    sleep 0.25
  done
}
