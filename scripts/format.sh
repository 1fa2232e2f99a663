#!/usr/bin/env bash
# Formats every C and C++ source of the project with the root .clang-format.
#   scripts/format.sh           rewrites the files in place
#   scripts/format.sh --check   changes nothing; fails and names the files that are not formatted
set -euo pipefail
cd "$(dirname "$0")/.."

mode=fix
for arg in "$@"; do
  case "$arg" in
    --check) mode=check ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

format=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null; then format="$candidate"; break; fi
done
if [ -z "$format" ]; then
  echo "format: clang-format is missing: run scripts/install-deps.sh" >&2
  exit 1
fi

# Our sources only: build trees, generated files and outside code stay as they are.
files=()
while IFS= read -r -d '' file; do
  [ -f "$file" ] && files+=("$file")
done < <(git ls-files -z --cached --others --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp')
[ ${#files[@]} -eq 0 ] && exit 0

if [ "$mode" = check ]; then
  if ! printf '%s\0' "${files[@]}" | xargs -0 -n 50 -P "$(nproc)" "$format" --dry-run --Werror 2>/tmp/format-check.$$; then
    grep -oE '^[^:]+:[0-9]+:[0-9]+: error' /tmp/format-check.$$ | cut -d: -f1 | sort -u | sed 's/^/format: not formatted: /' >&2
    rm -f /tmp/format-check.$$
    echo "format: run scripts/format.sh to format them" >&2
    exit 1
  fi
  rm -f /tmp/format-check.$$
  echo "format: every source is formatted"
else
  printf '%s\0' "${files[@]}" | xargs -0 -n 50 -P "$(nproc)" "$format" -i
fi
