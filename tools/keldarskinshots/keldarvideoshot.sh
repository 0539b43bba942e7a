#!/usr/bin/env bash
# keldarvideoshot.sh BUILD-DIR OUTPUT-DIR
# The real player under Xvfb, in a scratch program folder: a generated film with its .srt
# beside it playing in the visuals window (video-subtitles.png), then a dvdauthor disc showing
# its menu (dvd-menu.png). Needs xvfb-run, ffmpeg (x11grab), dvdauthor and spumux.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: keldarvideoshot.sh BUILD-DIR OUTPUT-DIR" >&2; exit 2; }
build=$(realpath "$1")
output=$(realpath -m "$2")
work=$(mktemp -d /tmp/keldarvideoshot-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/runtime" "$work/film" "$work/dvd" "$output"
chmod 700 "$work/runtime"

ffmpeg -v error -y -f lavfi -i testsrc2=s=640x360:r=25:d=30 -f lavfi -i sine=d=30 \
  -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac "$work/film/film.mp4"
printf '1\n00:00:01,000 --> 00:00:20,000\n<i>Subtitles beside the film</i>\nload with it automatically\n' \
  > "$work/film/film.srt"

d="$work/dvd"
ffmpeg -v error -y -f lavfi -i testsrc=s=720x576:r=25:d=6 -f lavfi -i sine=d=6:sample_rate=48000 \
  -target pal-dvd -aspect 4:3 "$d/title.mpg"
ffmpeg -v error -y -f lavfi -i "color=c=0x204060:s=720x576:r=25:d=2,drawbox=x=260:y=238:w=200:h=100:color=0xe0c040:t=6" \
  -f lavfi -i anullsrc=r=48000:cl=stereo -t 2 -target pal-dvd -aspect 4:3 "$d/menu_bg.mpg"
ffmpeg -v error -y -f lavfi -i "color=c=black@0.0:s=720x576,format=rgba,drawbox=x=266:y=244:w=188:h=88:color=white@1:t=fill" \
  -frames:v 1 "$d/hl.png"
cat > "$d/menu.xml" <<EOF
<subpictures><stream><spu start="00:00:00.00" force="yes" highlight="$d/hl.png" select="$d/hl.png">
<button name="b1" x0="260" y0="238" x1="460" y1="338"/></spu></stream></subpictures>
EOF
spumux "$d/menu.xml" < "$d/menu_bg.mpg" > "$d/menu.mpg" 2>/dev/null
cat > "$d/dvd.xml" <<EOF
<dvdauthor dest="$d/disc"><vmgm><fpc>jump menu 1;</fpc><menus><pgc entry="title">
<button name="b1">jump title 1;</button><vob file="$d/menu.mpg" pause="inf"/></pgc></menus></vmgm>
<titleset><titles><pgc><vob file="$d/title.mpg"/><post>call vmgm menu 1;</post></pgc></titles></titleset></dvdauthor>
EOF
VIDEO_FORMAT=PAL dvdauthor -x "$d/dvd.xml" >/dev/null 2>&1

# The deck at the top left, the visuals window beside it showing video (effect mode 7).
cat > "$work/program/keldar3.ini" <<'EOF'
[Settings]
Options_DeckLeft=0
Options_DeckTop=0
Options_PLVisibleState=0
Options_EQVisibleState=0
Options_DBVisibleState=0
Options_DeckCurrentVisualEffect=7
Options_VisExVisibleState=1
Options_VisExLeft=0
Options_VisExTop=130
Options_VisExWidth=480
Options_VisExHeight=320
EOF

export KELDAR_PROGRAM_DIR="$work/program"
export XDG_RUNTIME_DIR="$work/runtime"
export KELDAR_MESSAGE_LOG="$work/messages.log"
export ZORVANEPLAYERAPI_RECORD="keldarvideoshot-$$"
export QT_QPA_PLATFORM=xcb
export BUILD="$build" OUTPUT="$output" WORK="$work"

xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -euo pipefail
  "$BUILD/keldar3" >/dev/null 2>&1 &
  player=$!
  for _ in $(seq 50); do "$BUILD/keldarctl" status >/dev/null 2>&1 && break; sleep 0.2; done
  "$BUILD/keldarctl" add "$WORK/film/film.mp4" "$WORK/dvd/disc/VIDEO_TS/VIDEO_TS.IFO"
  sleep 1
  "$BUILD/keldarctl" play
  sleep 5
  ffmpeg -loglevel error -y -f x11grab -video_size 480x450 -i "$DISPLAY+0,0" -frames:v 1 "$OUTPUT/video-subtitles.png"
  "$BUILD/keldarctl" next
  sleep 5
  ffmpeg -loglevel error -y -f x11grab -video_size 480x450 -i "$DISPLAY+0,0" -frames:v 1 "$OUTPUT/dvd-menu.png"
  "$BUILD/keldarctl" send 0x9403 >/dev/null || true
  wait "$player" || true
'
rm -f "/dev/shm/$ZORVANEPLAYERAPI_RECORD"
cat "$work/messages.log" 2>/dev/null || true
echo "$output"
