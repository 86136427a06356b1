#!/usr/bin/env bash
# A new game on a virtual X screen, played as a player plays it: the launch pad's Start
# and "GO!!!", New Game in the main menu, the intro (Escape holds off until 8 seconds,
# then skips it), the training level skipped with Enter, then level 2 flown with the
# keys and the mouse and fired at with the mouse button; the weapon shop, the pause
# menu and its exit, which ends the program with status 0. Screenshots go to the output
# folder for a person to look at.
#
#   game_xvfb.sh <game binary> [output folder]
#
# Screens are told apart by the colours of a few areas of a 1280 x 1024 screen; every
# check polls the screen until it holds or its time runs out, then says what it saw.
# Exits 0 on success, non-zero with a message on the first thing that goes wrong.
set -u

game=${1:?usage: game_xvfb.sh <game binary> [output folder]}
out=${2:-$PWD}
screen_w=1280
screen_h=1024

. "$(dirname "$0")/desktop_setup.sh"
desktop_setup Xvfb xdotool import convert compare

# The server keeps its screen in a file as well: reading that costs no request to a
# server busy with the game's frames.
mkdir -p "$work/fb"
start_desktop -fbdir "$work/fb"

# ---- Reading the screen ----------------------------------------------------------------

# The screen now, copied from the server's screen file; $captured says when.
captured=""
snap() {
  game_alive || { game_end; fail "the game ended unexpectedly ($ended_how)"; }
  captured=$EPOCHREALTIME
  cp "$work/fb/Xvfb_screen0" "$work/screen.xwd"
}
# A screenshot kept for a person to look at (a light compression: PNG's default costs
# seconds on a busy machine).
keep() {
  snap && convert "xwd:$work/screen.xwd" -define png:compression-level=1 "$out/$1.png" 2>/dev/null ||
    fail "no screenshot $1.png"
}
# The share of the pixels of an area (geometry WxH+X+Y) of the last snap for which an
# ImageMagick fx expression of the pixel's r, g and b (0 to 1) holds. A large area is
# read at a quarter of its size ($3 = 25): fx takes seconds for a million pixels.
share() {
  convert "xwd:$work/screen.xwd" -crop "$1" +repage -scale "${3:-100}%" -fx "($2) ? 1 : 0" \
    -format "%[fx:mean]" info: 2>/dev/null
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
# True when more than the share $3 of the area $1 has the colour $2; the reading is
# left in $seen for the failure message.
seen=""
has() {
  seen=$(share "$1" "$2" "${4:-100}") || return 1
  above "$seen" "$3"
}

blue="b>0.7 && r<0.3 && g<0.45"                  # menu buttons, shield bar, drained energy
white="r>0.75 && g>0.75 && b>0.75"               # the bitmap-font texts
grey="abs(r-g)<0.1 && abs(g-b)<0.1 && r>0.3 && r<0.85"  # the intro's landing platform
# The station's light grey-blue plating (pale green where the reflection shows).
station="(abs(r-g)<0.1 && b>r-0.03 && b<r+0.2 && r>0.45) || (g>r+0.04 && g>0.4 && b>0.3 && r>0.45)"
# Asteroids, brown or grey (the stars are smaller than a reading's pixel at a quarter).
rock="(r>b+0.1 && g>b-0.02 && r<g+0.3 && r>0.25) || (abs(r-g)<0.08 && abs(g-b)<0.12 && r>0.25 && r<0.8)"
marks="(r>0.8 && g<0.2 && b<0.2) || (g>0.8 && r<0.2 && b<0.2)"  # asteroids on the map
own="b>0.8 && r>0.25 && r<0.55 && g<0.15"        # the ship and station on the map

# Areas of the screen.
bottom_band=640x100+320+900
status_line=350x20+30+28
hint_line=400x24+30+326       # the training level's hint, under the status line
level_end_line=700x24+33+428  # "Level 1 complete! ..."
shield_bar=30x120+20+880
energy_bar=230x8+525+974
map=250x250+1028+772
shop_row1=400x16+426+303      # "ION CANNON" on the shop's picture
pause_row1=300x14+480+485     # "RESUME" on the pause menu's picture

# The intro's platform fills the bottom of the screen whichever way its camera turns.
intro_shown() { snap && has "$bottom_band" "$grey" 0.3 25; }
# Two readings a moment apart differ: the intro's camera is moving, not a held frame.
intro_moving() {
  snap && cp "$work/screen.xwd" "$work/before.xwd"
  sleep 0.5
  snap || return 1
  local changed
  changed=$(compare -metric AE -fuzz 5% "xwd:$work/before.xwd" "xwd:$work/screen.xwd" null: 2>&1)
  above "${changed%% *}" 5000 2>/dev/null
}
hud_shown() {
  snap || return 1
  has "$shield_bar" "$blue" 0.5 || { seen="shield $seen"; return 1; }
  has "$energy_bar" "g>0.45 || ($blue)" 0.8 || { seen="energy $seen"; return 1; }
  has "$status_line" "$white" 0.03 || { seen="status line $seen"; return 1; }
}
tutorial_shown() { hud_shown && has "$hint_line" "$white" 0.02; }
level_ending() { snap && has "$level_end_line" "$white" 0.02; }
level_2_shown() {
  hud_shown && ! has "$level_end_line" "$white" 0.02 && ! has "$hint_line" "$white" 0.02
}
shop_shown() { snap && has "$shop_row1" "$blue" 0.4; }
pause_shown() { snap && has "$pause_row1" "$blue" 0.4 && ! has "$shop_row1" "$blue" 0.2; }
in_flight() { hud_shown && ! has "$shop_row1" "$blue" 0.2 && ! has "$pause_row1" "$blue" 0.2; }
energy_used() { snap && has "$energy_bar" "$blue" 0.02; }
asteroids_in_view() { snap && has 1000x700+0+60 "$rock" 0.004 25; }
# The own marks of the map as a picture of their own, to see the ship move on it.
own_marks() { convert "xwd:$work/screen.xwd" -crop "$map" +repage -fx "($own) ? 1 : 0" "$work/$1.png"; }

# ---- Input -----------------------------------------------------------------------------

# Keys are held across a few frames: a press and release within one frame may be lost.
press() {
  xdotool windowfocus "$window" 2>/dev/null
  xdotool keydown "$1"
  sleep 0.4
  xdotool keyup "$1"
}
click() {  # x y: the left button at a point of the screen
  xdotool mousemove "$1" "$2"
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  xdotool mouseup 1
}

# ---- The launch pad and the main menu --------------------------------------------------

wait_for 90 find_window || fail "no window named \"Veltor - Launch Pad\" appeared"
# The tip of the day stands right of the launch pad; Enter closes it, Enter presses
# Start, and Enter presses "GO!!!" in the difficulty dialog.
wait_for 60 pad_with_tip || fail "no tip of the day beside the launch pad"
press Return
wait_for 30 pad_alone || fail "the tip of the day did not close"
wait_for 60 pad_shown || fail "the launch pad's picture does not show after the tip"
press Return
wait_for 60 difficulty_shown || fail "no difficulty dialog after Start"
press Return
render_size() { game_alive && [ "$(geometry WIDTH)x$(geometry HEIGHT)" = "${screen_w}x${screen_h}" ]; }
wait_for 90 render_size || fail "no ${screen_w}x${screen_h} render window after GO (the game is $(game_alive && echo running || echo gone))"

# New Game's button, blue, in the middle of the main menu; a click on it starts the run.
menu_shown() { snap && has 300x14+434+537 "$blue" 0.4; }
wait_for 90 menu_shown || fail "no main menu with New Game (button area $seen blue)"
keep main_menu
last_miss=$EPOCHREALTIME  # the intro cannot start before the click
click 584 543

# ---- The intro -------------------------------------------------------------------------

# The scene's clock starts after the last look that did not show it: Escape released
# less than 7.5 seconds after that look came within the intro's first 8 seconds (its
# clock may be half a second ahead).
intro_end=$((SECONDS + 120))
until intro_shown; do
  [ "$SECONDS" -lt "$intro_end" ] || fail "New Game did not start the intro (platform $seen)"
  last_miss=$captured
  sleep 0.2
done
intro_seen=$SECONDS
press Escape
early=$(awk -v a="$EPOCHREALTIME" -v b="$last_miss" 'BEGIN { printf "%.1f", a - b }')
above 7.5 "$early" || fail "the machine is too slow: Escape came $early s after the intro may have started"
sleep 2
intro_moving || fail "Escape ${early} s into the intro ended it"
keep intro
while [ $((SECONDS - intro_seen)) -lt 9 ]; do sleep 0.5; done
intro_shown && intro_moving || fail "the intro did not run on to 9 seconds"
# After 8 seconds Escape ends it. Left alone it would run for 53 seconds: its end well
# before that is the skip.
press Escape
intro_over() { ! intro_shown; }
wait_for $((intro_seen + 40 - SECONDS)) intro_over || fail "Escape after 8 seconds did not end the intro"

# ---- The training level, skipped -------------------------------------------------------

wait_for 180 tutorial_shown || fail "the training level did not start after the intro (HUD: $seen)"
keep tutorial
press Return
wait_for 30 level_ending || fail "Enter did not end the training level (end text $seen)"
wait_for 60 level_2_shown || fail "level 2 did not start after the training level (HUD: $seen)"

# ---- Level 2: fly, fire, look ----------------------------------------------------------

# The start pose faces the station: its hull shows left of the sights, and the
# asteroids on their way to it come into view (from wherever they start, before they
# reach it: the level is not lost meanwhile).
snap
has 60x110+520+445 "$station" 0.05 || fail "no station in view at the start of level 2 ($seen)"
wait_for 60 asteroids_in_view || fail "no asteroid in view at the start of level 2 ($seen)"
keep level2_start
own_marks before
# Thrust and strafe with the keys, steer with the mouse, fire with its button. The
# ship gathers speed slowly: three seconds of thrust take it far enough to move its
# mark on the map (a pixel there is 75 units).
xdotool windowfocus "$window"
xdotool keydown w
for step in 1 2 3 4 5 6; do
  xdotool mousemove_relative -- 6 3
  sleep 0.5
done
xdotool keyup w
xdotool keydown a
sleep 0.5
xdotool keyup a
# The shots take their energy from the weapon's store.
xdotool mousedown 1
wait_for 20 energy_used || { xdotool mouseup 1; fail "firing used no weapon energy ($seen)"; }
xdotool mouseup 1
keep level2
own_marks after
moved=$(compare -metric AE "$work/before.png" "$work/after.png" null: 2>&1)
above "${moved%% *}" 0 2>/dev/null || fail "the ship's mark on the map did not move after flying ($moved)"
hud_shown || fail "no HUD in level 2 after flying ($seen)"
has "$map" "$marks" 0.001 || fail "no asteroids on the map ($seen)"

# ---- The weapon shop and the pause menu ------------------------------------------------

press b
wait_for 30 shop_shown || fail "B did not open the weapon shop ($seen)"
keep weapon_shop
# Escape closes the shop. A key stays down for a while on a desktop: held a second,
# the press that closed the shop must not open the pause menu as well.
xdotool windowfocus "$window"
xdotool keydown Escape
sleep 1
xdotool keyup Escape
shop_closed() { ! shop_shown; }
wait_for 30 shop_closed || fail "Escape did not close the weapon shop"
sleep 1
! pause_shown || fail "the Escape that closed the weapon shop opened the pause menu too"
in_flight || fail "no flight view after the weapon shop closed ($seen)"
press Escape
wait_for 30 pause_shown || fail "Escape did not open the pause menu ($seen)"
keep pause_menu
# The menu's last item, "EXIT", ends the program.
click 640 727
ended() { ! game_alive; }
wait_for 60 ended || fail "the pause menu's exit did not end the game"
wait "$game_pid"
status=$?
game_pid=""
[ "$status" -eq 0 ] || fail "the game ended with status $status after the pause menu's exit"
echo "PASS: launch pad to New Game, intro, training level, level 2 flown and fired, weapon shop, pause menu and exit; screenshots in $out"
exit 0
