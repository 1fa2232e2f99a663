# vx_library(<name> [DEPS <targets...>] [PRIVATE_DEPS <targets...>] [TEST_DEPS <targets...>]
#            [EXCLUDE <regex of paths, relative to the folder, to leave out>])
#
# Builds the static library <name> from every .cpp/.c/.S under the calling folder except tests/,
# exposes the folder as its include directory, and, when tests/ holds sources, builds
# <name>_tests from them with GoogleTest and registers every test with CTest.
function(vx_library name)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS;PRIVATE_DEPS;TEST_DEPS" ${ARGN})
  set(dir "${CMAKE_CURRENT_SOURCE_DIR}")
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c" "${dir}/*.S")
  list(FILTER sources EXCLUDE REGEX "^${dir}/(tests|fixtures)/")
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${dir}/(${ARG_EXCLUDE})")
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC "${dir}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads PRIVATE ${ARG_PRIVATE_DEPS})
  target_compile_definitions(${name} PRIVATE VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VX_BUILD_RESOURCES_DIR="${VX_BUILD_RESOURCES_DIR}")

  file(GLOB test_sources CONFIGURE_DEPENDS "${dir}/tests/*.cpp")
  if(test_sources)
    add_executable(${name}_tests ${test_sources})
    # Every test program runs under the testing main: temporary sandbox, pinned locale and zone.
    target_link_libraries(${name}_tests PRIVATE ${name} ${ARG_TEST_DEPS} vxtesting_main
      GTest::gtest GTest::gmock)
    target_compile_definitions(${name}_tests PRIVATE VX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      VX_TEST_DIR="${dir}/tests")
    gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "VX_RESOURCES=${VX_BUILD_RESOURCES_DIR};GALLIUM_DRIVER=llvmpipe"
      TIMEOUT 120)
  endif()
endfunction()
