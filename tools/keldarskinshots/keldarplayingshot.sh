#!/usr/bin/env bash
# keldarplayingshot.sh BUILD-DIR OUTPUT.png
# The real player under Xvfb, in a scratch program folder, playing the second of three
# generated songs with the playlist window below the deck; the two windows are saved as one
# PNG. Needs xvfb-run, sox, lame and ffmpeg (x11grab).
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: keldarplayingshot.sh BUILD-DIR OUTPUT.png" >&2; exit 2; }
build=$(realpath "$1")
output=$(realpath -m "$2")
work=$(mktemp -d /tmp/keldarplayingshot-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/program" "$work/runtime" "$work/songs"
chmod 700 "$work/runtime"

song() {  # file, artist, title, seconds, frequency
  sox -n -r 44100 -c 2 -b 16 "$work/tone.wav" synth "$4" sine "$5" gain -15
  lame --quiet -b 192 --ta "$2" --tt "$3" "$work/tone.wav" "$work/songs/$1"
}
song "01.mp3" "Aurora Lines" "Northern Drift" 214 440
song "02.mp3" "The Quiet Engines" "Copper Skies" 187 523
song "03.mp3" "Mira Solenne" "Glass Harbour" 243 659

# Deck at the top left, the playlist right below it.
cat > "$work/program/keldar3.ini" <<'EOF'
[Settings]
Options_DeckLeft=0
Options_DeckTop=0
Options_PLVisibleState=1
Options_PLLeft=0
Options_PLTop=130
Options_PLWidth=300
Options_PLHeight=200
Options_EQVisibleState=0
Options_VisExVisibleState=0
Options_DBVisibleState=0
Options_PlayListBoxDrawMethod=2
EOF

export KELDAR_PROGRAM_DIR="$work/program"
export XDG_RUNTIME_DIR="$work/runtime"
export KELDAR_MESSAGE_LOG="$work/messages.log"
export ZORVANEPLAYERAPI_RECORD="keldarplayingshot-$$"
export QT_QPA_PLATFORM=xcb
export BUILD="$build" OUTPUT="$output" WORK="$work"

xvfb-run -a -s "-screen 0 640x480x24" bash -c '
  set -euo pipefail
  "$BUILD/keldar3" >/dev/null 2>&1 &
  player=$!
  for _ in $(seq 50); do "$BUILD/keldarctl" status >/dev/null 2>&1 && break; sleep 0.2; done
  "$BUILD/keldarctl" add "$WORK/songs/01.mp3" "$WORK/songs/02.mp3" "$WORK/songs/03.mp3"
  sleep 1
  "$BUILD/keldarctl" play
  sleep 1
  "$BUILD/keldarctl" next
  sleep 5
  ffmpeg -loglevel error -y -f x11grab -video_size 300x340 -i "$DISPLAY+0,0" -frames:v 1 "$OUTPUT"
  "$BUILD/keldarctl" send 0x9403 >/dev/null || true
  wait "$player" || true
'
rm -f "/dev/shm/$ZORVANEPLAYERAPI_RECORD"
echo "$output"
