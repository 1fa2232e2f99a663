#!/usr/bin/env bash
# Fuzzes every parser of outside input for SECONDS seconds each (60 by default), with clang-14's
# libFuzzer and the address and undefined-behaviour sanitizers, in build-fuzz/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      targets: the fuzz/*Fuzzer.cpp names (JSON, Image ...)
#   scripts/fuzz.sh --replay [TARGET...]       runs each committed input once, searching nothing
# Each target starts from its committed corpus (fuzz/corpus/<Target>/) and grows a working copy
# in build-fuzz/corpus/<Target>/. An input that breaks a target is saved in
# build-fuzz/artifacts/<Target>/; commit it to fuzz/corpus/<Target>/ with the mend, and the test
# run (scripts/test.sh) and the replay under the sanitizers (.ci/run) replay it from then on.
# Exits non-zero when any target found something (or, replaying, failed on an input).
# FUZZ_JOBS (default: every core) bounds the build's jobs; FUZZ_BUILD_DIR (default build-fuzz)
# chooses the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

replay=false
if [ "${1:-}" = "--replay" ]; then
  replay=true
  shift
  seconds=0
else
  seconds="${1:-60}"
  shift || true
fi
case "$seconds" in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS | --replay] [TARGET...]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*Fuzzer.cpp; do
    name="$(basename "$source" Fuzzer.cpp)"
    targets+=("$name")
  done
fi

build_dir="${FUZZ_BUILD_DIR:-build-fuzz}"
jobs="${FUZZ_JOBS:-$(nproc)}"
echo "fuzz: configuring $PWD/$build_dir with clang-14"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVX_FUZZ=ON -DVX_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
programs=()
for target in "${targets[@]}"; do
  programs+=("fuzz_$target")
done
echo "fuzz: building ${programs[*]}"
# The bundle's generators run under the address sanitizer too; fontconfig keeps caches for the
# life of the process, which LeakSanitizer would report as leaks and so fail the build.
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp" \
  cmake --build "$build_dir" -j "$jobs" --target vxbundle "${programs[@]}"

export VX_RESOURCES="$PWD/$build_dir/resources"
export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
failed=()
if $replay; then
  for target in "${targets[@]}"; do
    artifacts="$build_dir/artifacts/$target"
    mkdir -p "$artifacts"
    started=$SECONDS
    # -runs=0: every input of the committed corpus runs once and nothing new is tried.
    if ! GALLIUM_DRIVER=llvmpipe "$build_dir/fuzz/fuzz_$target" -runs=0 -rss_limit_mb=4096 -malloc_limit_mb=2048 \
      -timeout=60 -artifact_prefix="$artifacts/" "fuzz/corpus/$target" >"$artifacts/replay.log" 2>&1; then
      failed+=("$target")
      tail -n 40 "$artifacts/replay.log" >&2
      echo "fuzz: replaying $target failed (log in $PWD/$artifacts/replay.log)" >&2
    else
      echo "fuzz: replayed $target in $((SECONDS - started))s"
    fi
  done
  if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: replay failed: ${failed[*]}" >&2
    exit 1
  fi
  echo "fuzz: every committed input replays under the sanitizers"
  exit 0
fi
for target in "${targets[@]}"; do
  corpus="$build_dir/corpus/$target"
  artifacts="$build_dir/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  echo "fuzz: $target for ${seconds}s (corpus $PWD/$corpus)"
  # A target's dictionary (fuzz/<Target>.dict) gives the mutator the tokens its format is made of.
  dictionary=()
  [ -f "fuzz/$target.dict" ] && dictionary=("-dict=fuzz/$target.dict")
  if ! "$build_dir/fuzz/fuzz_$target" "${dictionary[@]}" -max_total_time="$seconds" -rss_limit_mb=4096 -malloc_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" "fuzz/corpus/$target"; then
    failed+=("$target")
    echo "fuzz: $target found an input that breaks it, saved in $PWD/$artifacts" >&2
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: every target ran ${seconds}s without a finding"
