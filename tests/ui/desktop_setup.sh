# The start that the desktop tests share; sourced with $game (the game binary) and $out
# (the output folder) set. Defines fail, wait_for and game_alive, and sets up $work (a
# scratch folder removed on exit with whatever was started: $game_pid, $xvfb_pid,
# $watcher_pid),
# $prog (a program folder of the test's own, reading the built content) with $program
# in it, and $config (the settings store's folder).

fail() {
  echo "FAIL: $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$out/failure.png" 2>/dev/null
  if [ -n "${xvfb_pid:-}" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "---- the X server has ended; its output ----" >&2
    tail -n 10 "$work/xvfb.log" >&2
  fi
  if [ -n "${work:-}" ] && [ -s "$work/game.log" ]; then
    echo "---- game output ----" >&2
    tail -n 30 "$work/game.log" >&2
    # A backtrace may push the line that says why the game ended out of that tail.
    grep -E "^[^ ]+: (.*; )?ends (with status|on )" "$work/game.log" >&2
  fi
  exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

game_alive() { kill -0 "$game_pid" 2>/dev/null; }
# How the game ended, into $ended_how for a failure message: its exit status or the
# signal that ended it (the game's own line on stderr says why, in the output's tail).
ended_how=""
game_end() {
  wait "$game_pid" 2>/dev/null
  local status=$?
  if [ "$status" -gt 128 ]; then ended_how="killed by signal $((status - 128))"; else ended_how="status $status"; fi
  game_pid=""
}

# Checks the tools named and the game binary, then makes the folders.
desktop_setup() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
  done
  [ -x "$game" ] || fail "no game program at $game"
  game=$(realpath "$game")  # the content links below must not depend on this folder
  mkdir -p "$out"
  rm -f "$out/failure.png"  # left by an earlier failing run

  work=$(mktemp -d)
  xvfb_pid=""
  game_pid=""
  watcher_pid=""
  trap desktop_cleanup EXIT
  # Ended by a signal (ctest's time-out, Ctrl-C), the script still runs the cleanup.
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM

  # A program folder of its own: the game writes its settings files and save slots
  # beside itself, and those of an earlier run (a start mode left there) would change
  # what it shows.
  prog="$work/game"
  mkdir -p "$prog"
  cp "$game" "$prog/"
  local entry name
  for entry in "$(dirname "$game")"/*; do
    name=$(basename "$entry")
    case "$name" in
      "$(basename "$game")" | *.vlx | screenshot) ;;
      *) ln -s "$entry" "$prog/$name" ;;
    esac
  done
  program="$prog/$(basename "$game")"
  config=${XDG_CONFIG_HOME:-$work/config}
  rm -rf "$config/quorvel"
  mkdir -p "$config"
  export XDG_CONFIG_HOME=$config
  unset SDL_VIDEODRIVER WAYLAND_DISPLAY
}

# Starts the virtual screen of $screen_w x $screen_h and the game on it; arguments after
# the function's name go to the server. The display is a free one: the first free one
# of QUORVEL_XVFB_DISPLAYS (a range such as 70-79) when that is set, otherwise one the
# server picks itself. Desktop tests run side by side, each on a display of its own.
# The game starts only once the server answers a client; a server that ends or does not
# answer is replaced by a new one, three times at most.
start_desktop() {
  local first=0 last=-1 number tries=0
  if [ -n "${QUORVEL_XVFB_DISPLAYS:-}" ]; then
    first=${QUORVEL_XVFB_DISPLAYS%-*}
    last=${QUORVEL_XVFB_DISPLAYS#*-}
  fi
  for ((number = first; ; number++)); do
    local display=()
    if [ "$last" -ge 0 ]; then
      [ "$number" -le "$last" ] || fail "no free display in $QUORVEL_XVFB_DISPLAYS: $(cat "$work/xvfb.log")"
      display=(":$number")
    fi
    : >"$work/display"
    # The server writes its display number once it is ready; on a display taken by
    # another server it ends at once.
    Xvfb "${display[@]}" -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp "$@" \
      3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_for 15 xvfb_settled || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    if [ -s "$work/display" ]; then
      export DISPLAY=":$(head -n 1 "$work/display")"
      wait_for 15 xvfb_answers && break
      echo "Xvfb on $DISPLAY does not answer; starting another: $(tail -n 5 "$work/xvfb.log")" >&2
      kill "$xvfb_pid" 2>/dev/null
      tries=$((tries + 1))
      [ "$tries" -lt 3 ] || fail "Xvfb did not answer three times: $(cat "$work/xvfb.log")"
    fi
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
    [ "$last" -ge 0 ] || [ "$tries" -gt 0 ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  done
  (cd "$prog" && exec "$program" >"$work/game.log" 2>&1) &
  game_pid=$!
  # Should this script be killed outright (no trap runs then), a watcher stops the game
  # and the server all the same.
  local script=$$ started_game=$game_pid started_xvfb=$xvfb_pid
  (
    while kill -0 "$script" 2>/dev/null; do sleep 1; done
    kill -9 "$started_game"
    kill "$started_xvfb"
  ) >/dev/null 2>&1 &
  watcher_pid=$!
}
# The server is ready (its display number written) or has ended.
xvfb_settled() { [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; }
# The server of $DISPLAY answers a client; false at once when it has ended.
xvfb_answers() {
  kill -0 "$xvfb_pid" 2>/dev/null || return 1
  xdotool getdisplaygeometry >/dev/null 2>&1
}

# Finds the launch pad's window into $window; geometry KEY reads its size or place.
window=""
find_window() {
  game_alive || { game_end; fail "the game ended before its launch pad showed ($ended_how)"; }
  window=$(xdotool search --onlyvisible --name '^Veltor - Launch Pad$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
geometry() { xdotool getwindowgeometry --shell "$window" | sed -n "s/^$1=//p"; }

# The launch pad with the tip of the day beside it, then alone (the window's width).
pad_with_tip() { [ "$(geometry WIDTH)" -eq 875 ]; }
pad_alone() { [ "$(geometry WIDTH)" -eq 514 ]; }
# The red, green and blue of a pixel of the window now, e.g. "224,224,224".
window_pixel() {
  import -window "$window" -crop "1x1+$1+$2" "$work/pixel.ppm" 2>/dev/null || return 1
  convert "$work/pixel.ppm" -format "%[fx:round(255*r)],%[fx:round(255*g)],%[fx:round(255*b)]" info:
}
pad_shown() {  # the lit top of the gold "E" of the game's name on its picture
  local r g b
  IFS=, read -r r g b <<<"$(window_pixel 181 50)" || return 1
  [ "${r:-0}" -gt 220 ] && [ "${g:-0}" -gt 190 ] && [ "${b:-255}" -lt 190 ]
}
difficulty_shown() { [ "$(window_pixel 257 202)" = "224,224,224" ]; }  # the dialog's grey

desktop_cleanup() {
  [ -n "$watcher_pid" ] && kill "$watcher_pid" 2>/dev/null
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
