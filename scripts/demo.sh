#!/usr/bin/env bash
# Runs the application against the simulated services and writes its screens as PNG files.
#   scripts/demo.sh [--aircraft N] [--seconds N] [--out DIR]
# Installs what the project needs and builds the program and the simulator when needed, starts
# servicesim on loopback with a few thousand aircraft around London, runs the application
# headless against it, selects a plane and writes into out/ (or DIR):
#   map.png       the map with its markers and the "visible" banner
#   selected.png  a selected plane with its flight path and detail popover
#   zoomed.png    a zoomed-in region with plane labels
#   detail-overview.png, detail-flight.png, detail-aircraft.png
#                 a scheduled flight's detail popover on each tab
#   history.png   one of its aircraft's past flights on a map
#   gallery.png   the aircraft's photo grid
#   airport-board.png  an airport's arrivals board with a row open
#   filters.png   the filter list with two saved filters, one active, over the map following it
#   filter-editor.png  the filter editor with the suggestion bar for a typed airline
#   alerts.png    the alert list with alerts of two types, synchronised with the service
#   intro.png     the first page of the first-run tour over the map
#   menu.png      the main menu; settings.png the settings; account.png the login form;
#   apps.png      the maker's other apps
#   ar.png        the AR screen over the simulated camera, facing the densest traffic
#   aircraft-list.png  the aircraft list over the live planes, sorted by altitude descending
#   feedback.png  a feedback thread with a link, sent to and fetched from the service
#   update.png    the update screen listing the service's two versions
#   flight-graph.png  a flight's speed and altitude from take-off to landing, opened from the
#                 flight tab of its detail popover
#   chart-crosshair.png  the same graph with a long press placing the crosshair on a point
# and prints their paths.
set -euo pipefail
cd "$(dirname "$0")/.."

aircraft=3000
seconds=12
out=out
while [ $# -gt 0 ]; do
  case "$1" in
    --aircraft) aircraft="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    --out) out="$2"; shift 2 ;;
    -h|--help) sed -n '2,28p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
  esac
done

# Progress, the package check and the build's output go to stderr, so the written paths stay
# alone on stdout.
step() { echo "==> $*" >&2; }

step "Checking the packages the project needs"
bash scripts/install-deps.sh >&2

build_dir=build
jobs=$(nproc)
if [ ! -f "$build_dir/build.ninja" ]; then
  step "Configuring the build in $PWD/$build_dir"
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >&2
fi
step "Building the application, the simulated services and the bundle (the first build takes a while)"
cmake --build "$build_dir" -j "$jobs" --target volantrix servicesim vxbundle >&2

mkdir -p "$out"
# The screens' paths are printed absolute, so they can be opened from anywhere.
out=$(cd "$out" && pwd)
work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

step "Starting the simulated services with $aircraft aircraft"
# The simulator picks a free loopback port and prints it.
"$build_dir/tools/servicesim/servicesim" --port 0 --print-port --aircraft "$aircraft" \
  --hotspot 51.47,-0.45 \
  --feedback-reply "Thanks for telling us! The board refreshes every minute; known delays are listed at https://volantrix.example/status" \
  > "$work/port" 2> "$work/servicesim.log" &
sim_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/port" ] && break
  sleep 0.1
done
port=$(head -n 1 "$work/port" 2>/dev/null || true)
if [ -z "$port" ]; then
  echo "servicesim did not start:" >&2
  cat "$work/servicesim.log" >&2
  exit 1
fi

step "Simulated services on http://127.0.0.1:$port/"
step "Running the application for $seconds seconds to load the live traffic"
step "Then opening its screens one by one and writing each into $out (about two minutes);"
step "each screen's path is printed as it is written"
export GALLIUM_DRIVER=llvmpipe
export VX_RESOURCES="$PWD/$build_dir/resources"
# A fresh sandbox for the application's documents and settings, so every run starts alike.
export VX_SANDBOX="$work/sandbox"
"$build_dir/app/volantrix" --service-url "http://127.0.0.1:$port/" --seconds "$seconds" \
  --center 51.47,-0.45 --zoom 7 --png-dir "$out" --select-plane --zoomed-view --detail-screens --filter-screens --menu-screens --ar-view \
  --list-screen --kit-screens --graph-screens
step "Done: the screens are in $out"
