#!/usr/bin/env bash
# Fuzzes every parser of outside input for SECONDS seconds each (60 by default), with clang-14's
# libFuzzer and the address and undefined-behaviour sanitizers, in build-fuzz/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]      targets: the fuzz/*Fuzzer.cpp names (JSON, Image ...)
# Each target starts from its committed corpus (fuzz/corpus/<Target>/) and grows a working copy
# in build-fuzz/corpus/<Target>/. An input that breaks a target is saved in
# build-fuzz/artifacts/<Target>/; commit it to fuzz/corpus/<Target>/ with the mend, and the test
# run (scripts/test.sh) replays it from then on. Exits non-zero when any target found something.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
case "$seconds" in
  '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*Fuzzer.cpp; do
    name="$(basename "$source" Fuzzer.cpp)"
    targets+=("$name")
  done
fi

build_dir=build-fuzz
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
cmake --build "$build_dir" -j "$(nproc)" --target vxbundle "${programs[@]}"

export VX_RESOURCES="$PWD/$build_dir/resources"
export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
failed=()
for target in "${targets[@]}"; do
  corpus="$build_dir/corpus/$target"
  artifacts="$build_dir/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  echo "fuzz: $target for ${seconds}s (corpus $PWD/$corpus)"
  if ! "$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=4096 -malloc_limit_mb=2048 \
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
