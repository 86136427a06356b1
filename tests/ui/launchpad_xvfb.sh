#!/usr/bin/env bash
# The start of the game on a virtual X screen, played with the keyboard alone: the
# launch pad shows, Start brings the difficulty dialog, "GO!!!" starts the engine in
# the chosen mode. Screenshots go to the output folder for a person to look at.
#
#   launchpad_xvfb.sh <game binary> [output folder] [special]
#
# With "special", the settings store, every settings file of the program folder and the
# save slot 3 are FIFOs with no writer: the game must read them as missing (the slot as
# damaged) and go on, never wait; the player then opens the load list and leaves it.
#
# Exits 0 on success, non-zero with a message on the first thing that goes wrong.
# Every wait is bounded; whatever it started is stopped on the way out.
set -u

game=${1:?usage: launchpad_xvfb.sh <game binary> [output folder]}
out=${2:-$PWD}
special=${3:-}
screen_w=1280
screen_h=1024

. "$(dirname "$0")/desktop_setup.sh"
desktop_setup Xvfb xdotool import convert
if [ "$special" = special ]; then
  mkdir -p "$config/quorvel"
  mkfifo "$config/quorvel/settings.ini"
  for name in startmode particles gamepad graphics mousesens difficulty; do mkfifo "$prog/$name.vlx"; done
  mkfifo "$prog/VeltorSave3.vlx"
fi

# Without any display the game says so and ends; it must not sit there drawing unseen.
(cd "$prog" && env -u DISPLAY timeout 20 "$program" >"$work/nodisplay.log" 2>&1)
status=$?
[ "$status" -ne 0 ] && [ "$status" -ne 124 ] || fail "without a display the game did not fail (status $status)"
grep -qi "display" "$work/nodisplay.log" || fail "without a display the game gave no message: $(cat "$work/nodisplay.log")"

start_desktop

wait_for 60 find_window || fail "no window named \"Veltor - Launch Pad\" appeared"

# The tip of the day stands right of the launch pad: 514 + 361 pixels together.
wait_for 30 pad_with_tip || fail "the launch pad and the tip are $(geometry WIDTH) pixels wide, not 514 + 361"
[ "$(geometry HEIGHT)" -ge 385 ] || fail "the launch pad is only $(geometry HEIGHT) pixels high"

# The red, green and blue values of one pixel of the window, e.g. "224,224,224".
pixel() {
  import -window "$window" "$work/pixel.png" 2>/dev/null || return 1
  convert "$work/pixel.png" -format "%[fx:round(255*p{$1,$2}.r)],%[fx:round(255*p{$1,$2}.g)],%[fx:round(255*p{$1,$2}.b)]" info:
}
# True when the pixel has that colour now; read afresh on every call, so wait_for polls
# the screen instead of testing one reading over and over.
pixel_is() { [ "$(pixel "$1" "$2")" = "$3" ]; }
# The launch pad's picture shows: the lit top of the gold "E" of the game's name.
title_shown() {
  local r g b
  IFS=, read -r r g b <<<"$(pixel 181 50)" || return 1
  [ "${r:-0}" -gt 220 ] && [ "${g:-0}" -gt 190 ] && [ "${b:-255}" -lt 190 ]
}
colours() { convert "$1" -format "%k" info:; }
# The same for a point of the whole screen.
screen_pixel_rgb() {
  import -window root -crop "1x1+$1+$2" "$work/root_pixel.png" 2>/dev/null || return 1
  convert "$work/root_pixel.png" -format "%[fx:round(255*p{0,0}.r)],%[fx:round(255*p{0,0}.g)],%[fx:round(255*p{0,0}.b)]" info:
}

# Keys are held across a few frames: a press and release within one frame may be lost.
press() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}

# The tip of the day (dark blue) comes up beside the launch pad and leaves its lists and
# buttons uncovered; its OK button is the default, so Enter closes it.
wait_for 60 pixel_is 814 140 "0,0,128" || fail "no tip of the day beside the launch pad ($(pixel 814 140))"
title_shown || fail "the tip covers the launch pad's picture ($(pixel 181 50))"
# Under the shorter tip the window is not there at all: the screen behind shows, never
# an empty block of the window's own ground (steel blue).
under_tip=$(screen_pixel_rgb $(($(geometry X) + 700)) $(($(geometry Y) + 330)))
[ "$under_tip" != "58,110,165" ] || fail "an empty block of the window stands under the tip"
import -window root "$out/tip.png"
press Return
wait_for 30 pad_alone || fail "the launch pad is $(geometry WIDTH) pixels wide after the tip closed, not 514"

# The launch pad shows its picture, with lists and buttons on it.
wait_for 60 title_shown || fail "the launch pad's picture does not show (the title is $(pixel 181 50))"
import -window root "$out/launchpad.png" || fail "no screenshot"
[ "$(colours "$out/launchpad.png")" -gt 4 ] || fail "the launch pad screenshot is nearly blank"

# The start button has the focus: Enter presses it and the difficulty dialog (light grey
# background) covers the middle of the launch pad.
press Return
wait_for 60 pixel_is 257 202 "224,224,224" || fail "no difficulty dialog after Start (middle is $(pixel 257 202))"
import -window root "$out/difficulty.png"

# "GO!!!" has the focus; Enter starts the engine in the chosen mode. The virtual screen
# offers one mode, its own size, so that is the mode chosen.
press Return
# Until the first logo the window is black: the launch pad's picture does not stay in a
# corner of the grown window (its caption bar would be dark blue there).
for shot in 1 2 3 4 5 6 7 8; do
  import -window root -crop 1x1+300+8 "$work/corner.png" 2>/dev/null || continue
  corner=$(convert "$work/corner.png" -format "%[fx:round(255*p{0,0}.r)],%[fx:round(255*p{0,0}.g)],%[fx:round(255*p{0,0}.b)]" info:)
  [ "$corner" != "0,0,128" ] || fail "the launch pad's caption shows in the corner after GO"
done
render_size() {
  game_alive || { game_end; fail "the game ended when the engine started ($ended_how)"; }
  [ "$(geometry WIDTH)x$(geometry HEIGHT)" = "${screen_w}x${screen_h}" ]
}
wait_for 60 render_size || fail "the render window is $(geometry WIDTH)x$(geometry HEIGHT), not ${screen_w}x${screen_h}"
# The mode is saved once the engine has started, a moment after the window took its size.
wait_for 30 test -s "$prog/startmode.vlx" || fail "startmode.vlx was not written"
[ "$(tr -d '\r\n' <"$prog/difficulty.vlx" 2>/dev/null)" = "2" ] || fail "difficulty.vlx does not hold the default level 2"
sleep 2
import -window root "$out/render_window.png" || fail "no screenshot of the render window"

# The main menu with an absolute pointing device: xdotool's moves put the system pointer
# at a point, as a tablet or a remote desktop does. Over each item the pointer image is
# the lit one (amber), over empty space the plain one (blue-grey). Its middle is drawn
# about (13, 11) pixels right of and below the point.
screen_pixel() {
  import -window root -crop "1x1+$1+$2" "$work/screen_pixel.png" 2>/dev/null || return 1
  convert "$work/screen_pixel.png" -format "%[fx:round(255*p{0,0}.r)] %[fx:round(255*p{0,0}.b)]" info:
}
pointer_is() {  # x y lit|plain
  game_alive || { game_end; fail "the game ended in the main menu ($ended_how)"; }
  local red blue red0=0 blue0=0
  if [ "$3" = lit ]; then
    # The items lie on a blue backing that shows through the pointer's edge: measure
    # what the pointer adds to the spot, with the pointer away and then over it.
    xdotool mousemove 1000 60
    sleep 0.1
    read -r red0 blue0 <<<"$(screen_pixel $(($1 + 13)) $(($2 + 11)))" || return 1
  fi
  xdotool mousemove "$1" "$2"
  sleep 0.1
  read -r red blue <<<"$(screen_pixel $(($1 + 13)) $(($2 + 11)))" || return 1
  if [ "$3" = lit ]; then [ $((red - red0)) -gt $((blue - blue0 + 40)) ]; else [ "$blue" -gt $((red + 10)) ]; fi
}
item_x=584
wait_for 60 pointer_is "$item_x" 543 lit || fail "the pointer is not lit over New Game after an absolute move"
import -window root "$out/main_menu.png"
for item_y in 543 578 616 653 691 729; do
  wait_for 5 pointer_is 1000 60 plain || fail "the pointer stays lit over empty space"
  wait_for 5 pointer_is "$item_x" "$item_y" lit || fail "the pointer is not lit over the item at y=$item_y"
done

if [ "$special" = special ]; then
  # Return opens the load list over the menu: yellow rows from "Press number to load
  # game:" down to slot 9, drawn where the menu was, left of the middle.
  yellow_in() {  # geometry of a screen area -> share of yellow pixels in it
    import -window root -crop "$1" "$work/area.png" 2>/dev/null || return 1
    convert "$work/area.png" -fx "(r>0.8 && g>0.8 && b<0.35) ? 1 : 0" -format "%[fx:mean]" info:
  }
  list_shown() {
    game_alive || { game_end; fail "the game ended at the load list ($ended_how)"; }
    local share
    share=$(yellow_in 300x16+560+344) || return 1  # the row of slot 3, the FIFO
    awk -v s="$share" 'BEGIN { exit !(s > 0.02) }'
  }
  xdotool mousemove 1000 60
  press Return
  wait_for 30 list_shown || fail "no load list with slot 3's row after Return (the FIFO slot may hang it)"
  import -window root "$out/load_list.png"
  # Escape leaves the list: the menu is back and answers the pointer.
  press Escape
  wait_for 30 pointer_is "$item_x" 578 lit || fail "the menu did not come back from the load list"
  [ -p "$prog/VeltorSave3.vlx" ] || fail "the FIFO in place of save slot 3 was replaced"
fi

# The menu has no Escape; the game is stopped here.
press Escape
wait_for 5 bash -c "! kill -0 $game_pid 2>/dev/null" || kill -9 "$game_pid" 2>/dev/null
wait "$game_pid" 2>/dev/null
game_pid=""
if [ "$special" = special ]; then
  [ -p "$config/quorvel/settings.ini" ] || fail "the FIFO in place of settings.ini was replaced"
fi
echo "PASS: launch pad, difficulty dialog, render window and main menu${special:+ and load list (special files)}; screenshots in $out"
exit 0
