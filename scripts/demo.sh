#!/usr/bin/env bash
# Installs what is missing, builds the demo simulator folder build/demo/sim/
# (the data files in its program folder ZELK/, the mission folder
# Missions/Single/NN/ZELK/ and conf.ini), checks the demo data files and lists
# what they hold.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# demo_data copies the simulator stand-in into the demo folder as the
# simulator's executable; orvaksim is named too so that it is never left out.
cmake --build build -j"$jobs" --target orvaksim demo_data

sim=build/demo/sim
data=$sim/ZELK
echo
echo "Demo simulator folder: $sim"
echo "  program folder: $data"
echo "  mission folder: $sim/Missions/Single/NN/ZELK"
if [ -x "$sim/orvaksim.exe" ]; then
  echo "  simulator:      $sim/orvaksim.exe (the stand-in: Пуск flies the newest mission)"
else
  echo "  simulator:      missing ($sim/orvaksim.exe was not built)" >&2
  exit 1
fi
echo
build/bin/zelk-pack check "$data"/orvak_zelk.rc*

# What the data files hold, read back through a dump of each.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for file in "$data"/orvak_zelk.rc*; do
  out=$tmp/$(basename "$file")
  build/bin/zelk-pack dump "$file" "$out" >/dev/null
  echo
  echo "$(basename "$file"):"
  awk '
    /^\[\[map\]\]/      { kind = "карта" }
    /^\[\[aircraft\]\]/ { kind = "самолёт" }
    /^\[\[target\]\]/   { kind = "цель" }
    /^\[/ && !/^\[\[(map|aircraft|target)\]\]/ { kind = "" }
    kind != "" && /^name = / {
      sub(/^name = "/, ""); sub(/"$/, "")
      printf "  %s: %s\n", kind, $0
      kind = ""
    }
  ' "$out/manifest.toml"
done

# The window on the demo data, started from its program folder as on the
# pilot's machine. A first mission, made by zelk-cli, gives it something to show.
cmake --build build -j"$jobs" --target zelk zelk-cli
missions=$sim/Missions/Single/NN/ZELK
if ! ls "$missions"/zelk*.mis >/dev/null 2>&1; then
  echo
  (cd "$data" && ../../../bin/zelk-cli --root .. new --target "Колонна: танки синих" --tanks 5 \
     --comment 'Демонстрационное задание.\nЗаходить на колонну вдоль дороги.' >/dev/null)
  echo "A first demo mission was made in $missions"
fi
echo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  shot=build/demo/zelk-window.png
  echo "No display here (neither DISPLAY nor WAYLAND_DISPLAY is set): the window runs"
  echo "under xvfb-run instead and leaves a picture of itself in $shot."
  (cd "$data" && xvfb-run -a ../../../bin/zelk --root .. --screenshot ../../zelk-window.png)
  echo "Done: open $shot to see the window. To work in it, run"
  echo "  bash scripts/demo.sh"
  echo "in a desktop session, or: (cd $data && ../../../bin/zelk --root ..)"
else
  echo "Opening the window on the demo data; close it to end the demo."
  echo "To see auto-generation: on the page Дополнительно press Автогенерация, then Пуск;"
  echo "some seconds later the stand-in ends its flight and the mission is written anew."
  (cd "$data" && ../../../bin/zelk --root ..)
fi
