#!/usr/bin/env bash
# Installs what the project needs, configures, builds and runs every test.
#   scripts/test.sh                  normal build in build/
#   scripts/test.sh --sanitize=thread|address   build with a sanitizer in build-<name>/
# Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitizer=""
for arg in "$@"; do
  case "$arg" in
    --sanitize=*) sanitizer="${arg#--sanitize=}" ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh

# The fast checks first: includes point the right way and every source is formatted.
bash scripts/check-deps.sh
bash scripts/format.sh --check

build_dir=build
[ -n "$sanitizer" ] && build_dir="build-$sanitizer"
jobs=$(nproc)

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_SANITIZER="$sanitizer" -DVX_WERROR=ON
cmake --build "$build_dir" -j "$jobs"

export GALLIUM_DRIVER=llvmpipe
if [ "$sanitizer" = "thread" ]; then
  export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
fi
if [ "$sanitizer" = "address" ]; then
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
fi
ctest --test-dir "$build_dir" --output-on-failure -j "$jobs" --timeout 300
