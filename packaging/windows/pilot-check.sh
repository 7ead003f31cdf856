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
# A pilot's first hour is on a Windows that never saw ZELK: a Wine prefix of
# its own, so that no journal, remembered simulator folder or Start-menu
# entry left by the tests answers for the download.
export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/zelk-pilot-wine.XXXXXX")
# No .desktop files for the Start-menu entries in the user's home.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine maps the Cyrillic folder names through the locale's character set.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
work="zelk-pilot"
started=()
cleanup() {
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
  rm -rf "${WINEPREFIX:?}"
}
fail() {
  echo "pilot-check: FAILED: $*" >&2
  # What the screen showed then (a question box, an error) says more than the line.
  if [ -n "${DISPLAY:-}" ] && import -window root "$build/pilot-check-failed.png" 2>/dev/null; then
    echo "pilot-check: the screen at that moment: $build/pilot-check-failed.png" >&2
  fi
  # The journal says which saves ran, with which seeds.
  if [ -n "${sim:-}" ] && [ -f "$sim/ZELK/zelk-journal.txt" ]; then
    echo "pilot-check: ZELK\\zelk-journal.txt then:" >&2
    cut -c1-160 "$sim/ZELK/zelk-journal.txt" >&2
  fi
  exit 1
}
trap cleanup EXIT
[ -n "${DISPLAY:-}" ] || fail "no X display (run it under xvfb-run)"
for f in "$zip" "$setup" "$build/bin/orvaksim.exe"; do [ -f "$f" ] || fail "missing $f"; done
rm -f "$build/pilot-check-failed.png"
wineboot -i >/dev/null 2>&1 || fail "wineboot could not make the Wine prefix $WINEPREFIX"
drive=$(winepath -u 'C:\' 2>/dev/null)
[ -d "$drive" ] || fail "no drive C: in the Wine prefix $WINEPREFIX"

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
# A rewrite may draw the same bytes (the seed picks among few choices for
# some missions): what shows it is a new file in the mission's place.
first=$(stat -c %i "$missions/zelk0001.mis")
press F6
press F5
# The stand-in flies the newest mission: a start line, some seconds, the end.
wait_for 60 "the stand-in orvaksim.exe to fly (Mission END in eventlog.lst)" grep -qs "Mission END" "$sim/eventlog.lst"
wait_for 30 "auto-generation to write the flown mission anew (a second journal line)" \
  lines "$sim/ZELK/zelk-journal.txt" 2
[ "$(stat -c %i "$missions/zelk0001.mis")" != "$first" ] || fail "the flown mission was not written anew"
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
# The entry names the installed program, and starts it in its own folder
# (NSIS gives a shortcut the folder it was made from): it finds its data and
# the simulator, and its mission lands in the simulator's folder. Wine's
# shell does not open a shortcut without a desktop (start /unix hangs under
# Xvfb), so the entry is read, and its program started as the entry says.
python3 - "$(winepath -u "$menu")" "$work" <<'PY' || fail "the Start-menu entry does not name ZELK\\zelk.exe in the installed folder"
import sys
data = open(sys.argv[1], "rb").read()
want = ("\\" + sys.argv[2] + "\\Игры\\ORVAK\\ZELK").lower()
texts = [data[i:].decode("utf-16-le", "ignore").lower() for i in (0, 1)] + [data.decode("cp1251", "ignore").lower()]
# Its folder is kept in UTF-16; the program's path also in the ANSI code
# page, which under Wine's C locale has no Cyrillic letters.
if any(want in t for t in texts) and any("\\zelk\\zelk.exe" in t for t in texts):
    sys.exit(0)
print("pilot-check: the entry holds:", [w for t in texts for w in t.split("\0") if "zelk" in w], file=sys.stderr)
sys.exit(1)
PY
(cd "$sim/ZELK" && exec wine zelk.exe >/dev/null 2>&1) &
zelk=$!
started+=("$zelk")
wait_for 120 "the window of zelk.exe started from the Start menu" has_window
sleep 2
press ctrl+n
press ctrl+s
wait_for 30 "the mission of the program started from the Start menu" test -f "$missions/zelk0001.mis"
wait_for 10 "its line in ZELK\\zelk-journal.txt" lines "$sim/ZELK/zelk-journal.txt" 1
close_zelk
wait_for 30 "zelk.exe from the Start menu to end after its window was closed" not_running "$zelk"
wait "$zelk" || fail "zelk.exe from the Start menu ended with exit code $?"
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
