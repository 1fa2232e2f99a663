# Writes OUT: a C++ source that holds the three Nunito faces from DIR as byte arrays, so the
# chart library carries its fonts in its constant data.
set(content "// Generated from the Nunito font files of the resources; do not edit.\n#include <cstddef>\n#include <cstdint>\n\nnamespace LChartFontsData {\n")
foreach(weight Bold Light Regular)
  file(READ "${DIR}/Nunito-${weight}.ttf" hex HEX)
  string(LENGTH "${hex}" length)
  math(EXPR size "${length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND content "extern const uint8_t k${weight}[${size}] = {${bytes}};\nextern const size_t k${weight}Size = ${size};\n")
endforeach()
string(APPEND content "} // namespace LChartFontsData\n")
file(WRITE "${OUT}" "${content}")
