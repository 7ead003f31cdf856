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
cmake --build build -j"$jobs" --target demo_data

sim=build/demo/sim
data=$sim/ZELK
echo
echo "Demo simulator folder: $sim"
echo "  program folder: $data"
echo "  mission folder: $sim/Missions/Single/NN/ZELK"
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
      printf "  %-8s %s\n", kind, $0
      kind = ""
    }
  ' "$out/manifest.toml"
done

echo
echo "The window program is not there yet: this demo only builds and lists the data."
