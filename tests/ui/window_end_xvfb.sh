#!/usr/bin/env bash
# The game window ended from outside, on a virtual X screen. Destroyed outright (as
# `xdotool windowclose` does) on the main menu and in a level, the game must end within
# a few seconds with status 1 and one line saying why: it used to hang for ever in the
# window system's error handler. Closed as a window manager closes a window (the
# WM_DELETE_WINDOW message), it ends with status 0 as before; with its connection to the
# server killed (`xdotool windowkill`), with status 1 and its line.
#
#   window_end_xvfb.sh <game binary> [output folder] [rounds]
#
# Each round starts the game once per case; the hang came in about two tries of three,
# so a by-hand check runs a dozen rounds or more. Exits 0 on success, non-zero with a
# message on the first thing that goes wrong; every wait is bounded.
set -u

game=${1:?usage: window_end_xvfb.sh <game binary> [output folder] [rounds]}
out=${2:-$PWD}
rounds=${3:-1}
screen_w=1280
screen_h=1024

. "$(dirname "$0")/desktop_setup.sh"
desktop_setup Xvfb xdotool import convert python3

# A save slot of level 2: the level at byte 0, no weapons, $500, energy capacity 1.
python3 - "$prog/VeltorSave1.vlx" <<'EOF'
import struct, sys
slot = bytearray(1026)
struct.pack_into('<h', slot, 0, 2)
struct.pack_into('<d', slot, 896, 500.0)
struct.pack_into('<h', slot, 1024, 1)
open(sys.argv[1], 'wb').write(slot)
EOF

log="$work/game.log"

press() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown "$1"
  sleep "${2:-0.15}"
  xdotool keyup "$1"
}
# The share of the pixels of a screen area (WxH+X+Y) for which an fx expression holds.
share() {
  import -window root -crop "$1" "$work/area.png" 2>/dev/null &&
    convert "$work/area.png" -fx "($2) ? 1 : 0" -format "%[fx:mean]" info: 2>/dev/null
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
blue="b>0.7 && r<0.3 && g<0.45"
alive_or_fail() { game_alive || { game_end; fail "the game ended by itself ($ended_how)"; }; }
menu_shown() { alive_or_fail && above "$(share 300x14+434+537 "$blue")" 0.4; }  # New Game
hud_shown() { alive_or_fail && above "$(share 30x120+20+880 "$blue")" 0.5; }     # the shield bar

# The load list's yellow rows, left of the middle where the menu was.
list_shown() { alive_or_fail && above "$(share 300x80+560+280 "r>0.8 && g>0.8 && b<0.35")" 0.02; }

# The launch pad, the tip of the day closed, Start and "GO!!!", to the main menu. Each
# Return goes to the screen that shows: on a busy machine a key may act twice.
to_main_menu() {
  wait_for 90 find_window || fail "no launch pad"
  wait_for 60 pad_with_tip || fail "no tip of the day beside the launch pad"
  local end=$((SECONDS + 240))
  until menu_shown; do
    [ "$SECONDS" -lt "$end" ] || fail "no main menu"
    if pad_with_tip || difficulty_shown || { pad_alone && pad_shown; }; then
      press Return
      sleep 1
    fi
    sleep 0.5
  done
}
# The load list, slot 1: level 2 in flight.
to_level() {
  # The 3D menus read the keys once a frame, and a slow build draws few of them: the
  # keys are held longer, and Return and 1 are pressed again should their screen not change.
  local tries
  for tries in 1 2 3; do
    press Return 0.6
    wait_for 20 list_shown && break
  done
  list_shown || fail "no load list after Return on the main menu"
  list_gone() { ! list_shown; }
  for tries in 1 2 3; do
    press 1 0.6
    wait_for 20 list_gone && break
  done
  wait_for 120 hud_shown || fail "level 2 did not start from the save slot"
  sleep 2
}

# Sends the message a window manager sends when the player closes the window.
wm_close() {
  python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = int(sys.argv[1])
event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x.XSendEvent(display, int(sys.argv[1]), 0, 0, ctypes.byref(event))
x.XCloseDisplay(display)  # sends it
EOF
}

# Starts the game (the first time with the server).
started=""
start_game() {
  if [ -z "$started" ]; then
    # No key repeat: a key held across a slow moment would act twice.
    start_desktop -ardelay 60000
    started=1
  else
    (cd "$prog" && exec "$program" >"$log" 2>&1) &
    game_pid=$!
  fi
}

# Does $2 to the game window where $1 says, then expects the end within $3 seconds with
# the status $4 and a single line that says why, matching $5.
check_end() {
  local where=$1 action=$2 seconds=$3 want=$4 why=$5
  start_game
  to_main_menu
  [ "$where" = level ] && to_level
  case $action in
    destroy) xdotool windowclose "$window" ;;
    wm_close) wm_close "$window" || fail "could not send the close message" ;;
    kill) xdotool windowkill "$window" ;;
  esac
  local begun=$EPOCHREALTIME
  ended() { ! game_alive; }
  if ! wait_for "$seconds" ended; then
    import -window root "$out/failure.png" 2>/dev/null
    kill -9 "$game_pid" 2>/dev/null
    game_end
    fail "$where, $action: the game did not end within $seconds s (it hung; now killed)"
  fi
  local took
  took=$(awk -v a="$EPOCHREALTIME" -v b="$begun" 'BEGIN { printf "%.1f", a - b }')
  game_end
  cp "$log" "$out/$where-$action.log"
  [ "$ended_how" = "status $want" ] || fail "$where, $action: the game ended with $ended_how, not status $want"
  # A normal end reads "<why>; ends with status 0", any other "ends with status N: <why> (...)".
  local ending="^[^ ]+: (.*; )?ends (with status|on )"
  local lines
  lines=$(grep -cE "$ending" "$log")
  [ "$lines" -eq 1 ] || fail "$where, $action: $lines lines say how the game ended, not one"
  grep -qE "^[^ ]+: ($why; ends with status $want\$|ends with status $want: $why)" "$log" ||
    fail "$where, $action: the line does not say \"$why\": $(grep -E "$ending" "$log")"
  echo "$where, $action: ended in $took s: $(grep -E "$ending" "$log")"
}

mkdir -p "$out"
destroyed="the game window was destroyed from outside the game"
for ((round = 1; round <= rounds; round++)); do
  check_end menu destroy 5 1 "$destroyed"
  check_end level destroy 5 1 "$destroyed"
done
check_end menu wm_close 5 0 "the window system closed the game window"
check_end level kill 5 1 "the connection to the window system was lost"
echo "PASS: the game window destroyed on the main menu and in a level ($rounds round(s)), closed, and its connection killed: each ended at once with its line"
exit 0
