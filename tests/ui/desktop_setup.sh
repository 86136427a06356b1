# The start that the desktop tests share; sourced with $game (the game binary) and $out
# (the output folder) set. Defines fail, wait_for and game_alive, and sets up $work (a
# scratch folder removed on exit with whatever was started: $game_pid, $xvfb_pid),
# $prog (a program folder of the test's own, reading the built content) with $program
# in it, and $config (the settings store's folder).

fail() {
  echo "FAIL: $*" >&2
  [ -n "${DISPLAY:-}" ] && import -window root "$out/failure.png" 2>/dev/null
  if [ -n "${work:-}" ] && [ -s "$work/game.log" ]; then
    echo "---- game output ----" >&2
    tail -n 30 "$work/game.log" >&2
    # A backtrace may push the line that says why the game ended out of that tail.
    grep -E "^[^ ]+: ends " "$work/game.log" >&2
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
  trap desktop_cleanup EXIT

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

# Starts the virtual screen of $screen_w x $screen_h on a free display number, chosen by
# the server itself (arguments after the function's name go to the server), and the
# game on it.
start_desktop() {
  Xvfb -displayfd 3 -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp "$@" 3>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb_pid=$!
  wait_for 15 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$work/display")"
  (cd "$prog" && exec "$program" >"$work/game.log" 2>&1) &
  game_pid=$!
}

# Finds the launch pad's window into $window; geometry KEY reads its size or place.
window=""
find_window() {
  game_alive || { game_end; fail "the game ended before its launch pad showed ($ended_how)"; }
  window=$(xdotool search --onlyvisible --name '^Veltor - Launch Pad$' 2>/dev/null | head -n 1)
  [ -n "$window" ]
}
geometry() { xdotool getwindowgeometry --shell "$window" | sed -n "s/^$1=//p"; }

desktop_cleanup() {
  [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
