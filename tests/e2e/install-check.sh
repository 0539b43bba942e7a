#!/usr/bin/env bash
# Installs the build into a temporary prefix, makes it read-only, and starts the installed
# player offscreen: it must run and keep its working files in $XDG_DATA_HOME/keldar3. The
# desktop entry must pass desktop-file-validate and the icon must be there.
#
#   install-check.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  chmod -R u+w "$tmp" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "install-check: $*" >&2; [ -f "$tmp/out" ] && cat "$tmp/out" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
entry=$tmp/prefix/share/applications/keldar3.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
grep -q '^MimeType=.*audio/mpeg;' "$entry" || fail "the entry names no audio/mpeg"
[ -s "$tmp/prefix/share/icons/hicolor/256x256/apps/keldar3.png" ] || fail "no icon"
[ -x "$tmp/prefix/bin/keldar3" ] || fail "no bin/keldar3"

# Root may write anywhere: the player runs as an unprivileged user, for whom the prefix is
# read-only like any system folder.
chmod -R a-w,a+rX "$tmp/prefix"
chmod a+rx "$tmp"
run=()
if [ "$(id -u)" = 0 ]; then
  run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
mkdir -p "$tmp/home" "$tmp/runtime"
chmod 700 "$tmp/runtime"
[ "$(id -u)" = 0 ] && chown 65534:65534 "$tmp/home" "$tmp/runtime"
cd "$tmp/home"
env -i PATH="$PATH" HOME="$tmp/home" XDG_DATA_HOME="$tmp/home/data" XDG_CONFIG_HOME="$tmp/home/config" \
  XDG_RUNTIME_DIR="$tmp/runtime" QT_QPA_PLATFORM=offscreen KELDAR_REPORT_READY=1 \
  KELDAR_MESSAGE_LOG="$tmp/home/messages.log" \
  "${run[@]}" "$tmp/prefix/bin/keldar3" >"$tmp/out" 2>&1 &
pid=$!
for _ in $(seq 1 300); do
  grep -q "event loop running" "$tmp/out" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || fail "the installed player ended early"
  sleep 0.1
done
grep -q "event loop running" "$tmp/out" || fail "the installed player did not start"
sleep 1
kill -TERM "$pid"
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the installed player did not end on TERM"
pid=
work=$tmp/home/data/keldar3
[ -f "$work/keldar3.ini" ] || fail "no settings file in $work"
[ -f "$work/keldar3freedbservers.ini" ] || fail "no server list in $work"
[ -d "$work/skins" ] || fail "no skins folder in $work"
[ ! -e "$tmp/prefix/lib/keldar3/keldar3.ini" ] || fail "a working file in the program folder"
echo "install-check: installed player ran from a read-only prefix, files in $work"
