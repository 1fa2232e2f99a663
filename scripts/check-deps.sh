#!/usr/bin/env bash
# Fails when an include points the wrong way between our libraries:
#   - foundation includes no other library of ours;
#   - platform libraries never include a component library or the application;
#   - component libraries (networking, grid, charts, ar, crashreporter, sdk) never include the
#     application;
#   - the application's core (models and managers) never includes a view controller or a view;
#   - only the program's main.cpp and the demo itself include the demo run (app/demo/), so the
#     application library holds no demo code.
# Tests are held to the rules of the folder they test, except that any test may use the test kit
# ("testing/..."). Prints every offending include.
set -euo pipefail
cd "$(dirname "$0")/.."

platform_libs="foundation|net|security|sysconfig|coredata|graphics|uikit|mapkit|location|gles|media|services|os|testing"
components="networking|grid|charts|ar|crashreporter|sdk"

# Every project include as "file:line:spelling".
includes() {
  grep -rnoE '^\s*#\s*include\s*"[^"]+"' --include='*.h' --include='*.cpp' --include='*.c' "$@" 2>/dev/null \
    | sed -E 's/:\s*#\s*include\s*"([^"]+)"$/:\1/' || true
}

failures=0
report() { # file:line:spelling rule
  echo "check-deps: ${1}: ${2}" >&2
  failures=$((failures + 1))
}

# foundation: nothing of ours but itself.
while IFS= read -r hit; do
  [ -z "$hit" ] && continue
  spelling="${hit##*:}"
  [[ "$hit" == */tests/* && "$spelling" == testing/* ]] && continue
  if [[ "$spelling" =~ ^($platform_libs|$components|app|servicesim|refdata|imagegen|soundgen)/ ]] \
    && [[ ! "$spelling" =~ ^foundation/ ]]; then
    report "$hit" "foundation includes no other library"
  fi
done < <(includes platform/foundation)

# Other platform libraries: no component, no application, no tool.
for dir in platform/*/; do
  [ "$dir" = platform/foundation/ ] && continue
  while IFS= read -r hit; do
    [ -z "$hit" ] && continue
    spelling="${hit##*:}"
    if [[ "$spelling" =~ ^($components|app|servicesim|refdata|imagegen|soundgen)/ ]]; then
      report "$hit" "a platform library includes no component library or application header"
    fi
  done < <(includes "$dir")
done

# Component libraries: never the application.
for dir in networking grid charts ar crashreporter sdk; do
  [ -d "$dir" ] || continue
  while IFS= read -r hit; do
    [ -z "$hit" ] && continue
    spelling="${hit##*:}"
    if [[ "$spelling" =~ ^(app|servicesim|refdata|imagegen|soundgen)/ ]]; then
      report "$hit" "a component library includes no application header"
    fi
  done < <(includes "$dir")
done

# The application's core: models and managers only, so no screen, view, cell or renderer.
while IFS= read -r hit; do
  [ -z "$hit" ] && continue
  spelling="${hit##*:}"
  if [[ "$spelling" =~ ^app/(view-controllers|widgets|layouts|application)/ ]] \
    || [[ "$spelling" =~ ^app/.*(View|ViewController|Cell|Renderer)\.h$ ]]; then
    report "$hit" "app/core includes no view controller or view"
  fi
done < <(includes app/core)

# The demo run: linked into the program only.
while IFS= read -r hit; do
  [ -z "$hit" ] && continue
  file="${hit%%:*}"
  spelling="${hit##*:}"
  [[ "$file" == app/demo/* || "$file" == app/application/main.cpp ]] && continue
  if [[ "$spelling" =~ ^app/demo/ ]]; then
    report "$hit" "only the program includes the demo run"
  fi
done < <(includes app networking grid charts ar crashreporter sdk platform tools tests bench fuzz)

if [ "$failures" -gt 0 ]; then
  echo "check-deps: $failures include(s) point the wrong way" >&2
  exit 1
fi
echo "check-deps: every include points the right way"
