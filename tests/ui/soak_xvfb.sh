#!/usr/bin/env bash
# A long run of the game on a virtual X screen, to catch a game that ends by itself.
#
#   soak_xvfb.sh <game binary> <output folder> <mode> <minutes> [level]
#
# Modes: "level" loads a save slot of the given level (2 if none) from the main menu's
# load list and leaves it alone (left alone, a level ends in the game-over menu, and the
# game stays there); "pause" does the same and opens the pause menu; "random" presses
# random keys, moves the pointer and clicks at random from the main menu on, and starts
# the game again whenever an input ended it. Screenshots go to the output folder every
# minute, the random input to input.log.
#
# Every end of the game must say why on stderr. Fails when the game ended with no input
# to end it, or with no line saying why; a release build makes the run closer to play.
# Not run by ctest: a soak takes ten minutes or more.
set -u

game=${1:?usage: soak_xvfb.sh <game binary> <output folder> <mode> <minutes> [level]}
out=${2:?output folder}
mode=${3:?mode: level, pause or random}
minutes=${4:?minutes}
level=${5:-2}
screen_w=1280
screen_h=1024

. "$(dirname "$0")/desktop_setup.sh"
desktop_setup Xvfb xdotool import convert python3

# A save slot: the level at byte 0, no weapons, $500, energy capacity 1.
python3 - "$prog/VeltorSave1.vlx" "$level" <<'EOF'
import struct, sys
slot = bytearray(1026)
struct.pack_into('<h', slot, 0, int(sys.argv[2]))
struct.pack_into('<d', slot, 896, 500.0)
struct.pack_into('<h', slot, 1024, 1)
open(sys.argv[1], 'wb').write(slot)
EOF

start_desktop
log="$work/game.log"

press() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown "$1"
  sleep 0.4
  xdotool keyup "$1"
  sleep 0.3
}
# The share of the pixels of an area of the screen that are the menus' button blue.
blue_share() {
  import -window root -crop "$1" "$work/area.png" 2>/dev/null &&
    convert "$work/area.png" -fx "(b>0.7 && r<0.3 && g<0.45) ? 1 : 0" -format "%[fx:mean]" info: 2>/dev/null
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
menu_shown() { above "$(blue_share 300x14+434+537)" 0.4; }  # New Game's button

# Launch pad, tip of the day, Start and "GO!!!" to the main menu.
to_main_menu() {
  wait_for 90 find_window || fail "no launch pad"
  sleep 3
  press Return                 # closes the tip
  sleep 2
  press Return                 # Start
  sleep 3
  press Return                 # GO!!!
  wait_for 120 menu_shown || fail "no main menu"
}

runs=1
ends=0
record_end() {
  game_end
  ends=$((ends + 1))
  local why
  why=$(grep -E "^[^ ]+: (.*; )?ends (with status|on )" "$log" | tail -n 1)
  echo "$(date +%T) the game ended ($ended_how): ${why:-no line saying why}" | tee -a "$out/ends.log"
  [ -n "$why" ] || fail "the game ended ($ended_how) with no line saying why"
}

mkdir -p "$out"
: >"$out/ends.log"
to_main_menu
if [ "$mode" != random ]; then
  press Return  # the load list
  sleep 2
  press 1
  sleep 15
  [ "$mode" = pause ] && press Escape
fi
import -window root "$out/start.png"
echo "$(date +%T) $mode soak of $minutes minutes starts"
end=$((SECONDS + minutes * 60))
keys=(w a s d q e z x c b p m Tab Up Down Left Right space Escape Return KP_Enter 1 2 3 4 5 6 7 8 9 0 F1 F4 alt+F4)
shots=$SECONDS
while [ "$SECONDS" -lt "$end" ]; do
  if ! game_alive; then
    record_end
    [ "$mode" = random ] || fail "the game ended with no input after $(((SECONDS - end) / 60 + minutes)) minutes"
    # An input ended it (an exit item, the launch pad's Escape): start it again.
    (cd "$prog" && exec "$program" >>"$log" 2>&1) &
    game_pid=$!
    runs=$((runs + 1))
    to_main_menu
    continue
  fi
  if [ "$mode" = random ]; then
    x=$((RANDOM % screen_w)) y=$((RANDOM % screen_h))
    case $((RANDOM % 10)) in
      [0-4])
        key=${keys[$((RANDOM % ${#keys[@]}))]}
        echo "$(date +%T) key $key" >>"$out/input.log"
        xdotool keydown "$key"
        sleep "0.$((RANDOM % 5 + 1))"
        xdotool keyup "$key"
        ;;
      [5-7])
        echo "$(date +%T) move $x $y" >>"$out/input.log"
        xdotool mousemove "$x" "$y"
        ;;
      *)
        echo "$(date +%T) click $x $y" >>"$out/input.log"
        xdotool mousemove "$x" "$y" mousedown 1
        sleep 0.2
        xdotool mouseup 1
        ;;
    esac
    sleep "0.$((RANDOM % 5))"
  else
    sleep 5
  fi
  if [ $((SECONDS - shots)) -ge 60 ]; then
    shots=$SECONDS
    import -window root "$out/at_$(date +%H%M%S).png" 2>/dev/null
  fi
done
echo "PASS: $mode soak of $minutes minutes: $runs start(s), $ends end(s) by input, each saying why"
exit 0
