#!/usr/bin/env bash
# A pilot's first hour with the Windows download, under Wine on an X display
# (xvfb-run), driven with xdotool as a pilot would drive it:
#   1. the zip unpacked into a simulator folder that holds the stand-in as
#      orvaksim.exe and a conf.ini; zelk.exe started from ZELK\; a new mission
#      made (Ctrl+N) and saved (Ctrl+S); auto-generation on (F6); Пуск (F5)
#      starts the stand-in, which flies the mission; the mission is written
#      anew; the window closed.
#   2. the installer into a folder with a Cyrillic name; its Start-menu entry
#      starts the program, which makes a mission there; uninstalling removes
#      the programs and the entry and keeps Missions\Single\NN\ZELK and the
#      journal of variants.
#
#   bash packaging/windows/pilot-check.sh BUILD_DIR [SCREENSHOT.png]
#
# SCREENSHOT gets the window of part 1 with its new mission.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
shot=${2:-}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="$build/zelk-$version-windows.zip"
setup="$build/zelk-$version-setup.exe"
t0=$(date +%s)

say() { echo "pilot-check: $*"; }
drive=$(winepath -u 'C:\' 2>/dev/null)
work="zelk-pilot-$$"
started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "${drive:?}/$work"
}
fail() {
  echo "pilot-check: FAILED: $*" >&2
  cleanup
  exit 1
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || fail "no X display (run it under xvfb-run)"
for f in "$zip" "$setup" "$build/bin/orvaksim.exe"; do [ -f "$f" ] || fail "missing $f"; done

# Waits up to $1 seconds for the command after $2 to succeed; fails naming $2.
wait_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$(( $(date +%s) + seconds ))
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || fail "waited $seconds s for $what"
    sleep 0.5
  done
}
# The main window ("ORVAK ZELK - …"), not a message box titled "ORVAK ZELK".
window() { xdotool search --onlyvisible --name '^ORVAK ZELK - ' 2>/dev/null | head -1; }
has_window() { [ -n "$(window)" ]; }
no_window() { [ -z "$(window)" ]; }
# Keys go where a pilot's would: to the focused window.
press() {
  local w
  w=$(window)
  [ -n "$w" ] || fail "no window to press $* in"
  xdotool windowfocus "$w" 2>/dev/null || true
  sleep 0.5
  xdotool key --clearmodifiers "$@"
  sleep 0.5
}
# What Windows' own "close" does: WM_CLOSE to the program's windows.
close_zelk() { wine taskkill /im zelk.exe >/dev/null 2>&1 || true; }
# Ended, though not yet reaped (kill -0 still finds a zombie).
not_running() { ! ps -o stat= -p "$1" | grep -qv Z; }
lines() { [ -f "$1" ] && [ "$(grep -c . "$1")" -ge "$2" ]; }
conf() { printf '[window]\r\nwidth=1024\r\n[game]\r\neventlog=eventlog.lst\r\neventlogkeep=1\r\n' >"$1/conf.ini"; }

# --- 1. The zip in a simulator folder.
sim="$drive/$work/ORVAK"
missions="$sim/Missions/Single/NN/ZELK"
mkdir -p "$sim"
cp "$build/bin/orvaksim.exe" "$sim/orvaksim.exe"
conf "$sim"
python3 -m zipfile -e "$zip" "$sim/"
[ -f "$sim/ZELK/zelk.exe" ] || fail "the zip holds no ZELK\\zelk.exe"
(cd "$sim/ZELK" && exec wine zelk.exe >/dev/null 2>&1) &
zelk=$!
started+=("$zelk")
wait_for 120 "the window of zelk.exe started from the zip" has_window
sleep 2
press ctrl+n
press ctrl+s
wait_for 30 "Ctrl+N, Ctrl+S to write Missions\\Single\\NN\\ZELK\\zelk0001.mis" test -f "$missions/zelk0001.mis"
wait_for 10 "the save's line in ZELK\\zelk-journal.txt" lines "$sim/ZELK/zelk-journal.txt" 1
if [ -n "$shot" ]; then
  sleep 2
  import -window "$(window)" "$shot" || fail "no screenshot"
  say "screenshot $shot"
fi
first=$(md5sum <"$missions/zelk0001.mis")
press F6
press F5
# The stand-in flies the newest mission: a start line, some seconds, the end.
wait_for 60 "the stand-in orvaksim.exe to fly (Mission END in eventlog.lst)" grep -q "Mission END" "$sim/eventlog.lst"
wait_for 30 "auto-generation to write the flown mission anew (a second journal line)" \
  lines "$sim/ZELK/zelk-journal.txt" 2
[ "$(md5sum <"$missions/zelk0001.mis")" != "$first" ] || fail "the flown mission was not written anew"
close_zelk
wait_for 30 "zelk.exe to end after its window was closed" not_running "$zelk"
wait "$zelk" || fail "zelk.exe ended with exit code $?"
say "zip: zelk.exe made and saved a mission, Пуск flew it, auto-generation wrote it anew, closed cleanly"

# --- 2. The installer, into a folder with a Cyrillic name.
sim="$drive/$work/Игры/ORVAK"
missions="$sim/Missions/Single/NN/ZELK"
mkdir -p "$sim"
cp "$build/bin/orvaksim.exe" "$sim/orvaksim.exe"
conf "$sim"
wine "$setup" /S "/D=C:\\$work\\Игры\\ORVAK" || fail "the installer failed"
for f in zelk.exe zelk-cli.exe zelk-pack.exe uninstall.exe orvak_zelk.rc0 ЧИТАЙ.txt; do
  [ -f "$sim/ZELK/$f" ] || fail "ZELK\\$f not installed"
done
menu='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\ZELK\ZELK.lnk'
[ -f "$(winepath -u "$menu")" ] || fail "no Start-menu entry $menu"
# The entry starts the program in its own folder: it finds its data and the
# simulator, and its mission lands in the simulator's folder.
wine start "$menu" >/dev/null 2>&1 || fail "the Start-menu entry did not start"
wait_for 120 "the window of zelk.exe started from the Start menu" has_window
sleep 2
press ctrl+n
press ctrl+s
wait_for 30 "the mission of the program started from the Start menu" test -f "$missions/zelk0001.mis"
wait_for 10 "its line in ZELK\\zelk-journal.txt" lines "$sim/ZELK/zelk-journal.txt" 1
close_zelk
wait_for 30 "zelk.exe from the Start menu to end after its window was closed" no_window
kept_mission=$(md5sum <"$missions/zelk0001.mis")
kept_journal=$(md5sum <"$sim/ZELK/zelk-journal.txt")
# _?= keeps the uninstaller in place, so that Wine waits for it.
wine "$sim/ZELK/uninstall.exe" /S "_?=C:\\$work\\Игры\\ORVAK\\ZELK" || fail "the uninstaller failed"
for f in zelk.exe zelk-cli.exe zelk-pack.exe orvak_zelk.rc0 ЧИТАЙ.txt; do
  [ ! -e "$sim/ZELK/$f" ] || fail "ZELK\\$f left after uninstalling"
done
[ ! -e "$(winepath -u "$menu")" ] || fail "Start-menu entry left after uninstalling"
[ -f "$missions/zelk0001.mis" ] && [ "$(md5sum <"$missions/zelk0001.mis")" = "$kept_mission" ] ||
  fail "uninstalling touched Missions\\Single\\NN\\ZELK\\zelk0001.mis"
[ -f "$missions/zelk0001_ru.properties" ] || fail "uninstalling removed zelk0001_ru.properties"
[ -f "$sim/ZELK/zelk-journal.txt" ] && [ "$(md5sum <"$sim/ZELK/zelk-journal.txt")" = "$kept_journal" ] ||
  fail "uninstalling touched ZELK\\zelk-journal.txt"
say "installer: into a Cyrillic folder, started from the Start menu, uninstalled; missions and journal kept"
say "done in $(( $(date +%s) - t0 )) s"
