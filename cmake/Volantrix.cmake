# vx_library(<name> PREFIX <spelling> [DIRS <sub-folders...>]
#            [DEPS <targets...>] [PRIVATE_DEPS <targets...>] [TEST_DEPS <targets...>]
#            [EXCLUDE <regex of paths, relative to the folder, to leave out>])
#
# Builds the static library <name> from the .cpp/.c/.S files of the calling folder and of the
# sub-folders it names in DIRS (each searched recursively). A library owns nothing else: a
# sub-folder with a CMakeLists.txt of its own is another library, and tests/ and fixtures/
# belong to the test program, so neither is ever taken in, even below a named sub-folder.
#
# Headers are reached by library path: the library exports one include root in which
# "<spelling>/..." names its folder, so `#include "<spelling>/X.h"` works for it and its users
# and no other spelling does.
#
# When tests/ holds sources (searched recursively), <name>_tests is built from them with
# GoogleTest and every test is registered with CTest.
# Precompiled headers: the standard and platform headers that nearly every source includes are
# compiled once per library (and once per test program) rather than once per source. A library
# gets only the platform headers of the libraries it builds on, so its sources still cannot
# reach a header its dependencies do not allow. VX_PCH=OFF compiles every source on its own (to
# check that each one includes what it uses).
option(VX_PCH "Precompile the common standard and platform headers of each library" ON)
set(VX_PCH_STANDARD <algorithm> <atomic> <functional> <map> <memory> <mutex> <optional> <string>
  <unordered_map> <vector>)
set(VX_PCH_FOUNDATION "foundation/NSObject.h" "foundation/Value.h" "foundation/NSString.h")
set(VX_PCH_GRAPHICS "graphics/UIColor.h" "graphics/UIImage.h" "graphics/UIFont.h")
set(VX_PCH_UIKIT "uikit/UIView.h" "uikit/UIViewController.h" "uikit/UILabel.h")

# Sets <out> to TRUE when <target> is <library> or links it, directly or through other libraries.
function(vx_builds_on target library out)
  set(pending "${target}")
  set(seen "")
  while(pending)
    list(POP_FRONT pending current)
    if(current STREQUAL library)
      set(${out} TRUE PARENT_SCOPE)
      return()
    endif()
    if(current IN_LIST seen OR NOT TARGET "${current}" OR NOT current MATCHES "^vx")
      continue()
    endif()
    list(APPEND seen "${current}")
    get_target_property(links "${current}" LINK_LIBRARIES)
    if(links)
      list(APPEND pending ${links})
    endif()
  endwhile()
  set(${out} FALSE PARENT_SCOPE)
endfunction()

# Precompiles the headers <target> may use, as <library> builds on them; test programs also get
# GoogleTest's header.
function(vx_precompile_headers target library)
  if(NOT VX_PCH)
    return()
  endif()
  set(headers ${VX_PCH_STANDARD})
  foreach(level FOUNDATION GRAPHICS UIKIT)
    string(TOLOWER "${level}" spelling)
    vx_builds_on(${library} vx${spelling} uses)
    if(uses)
      foreach(header IN LISTS VX_PCH_${level})
        list(APPEND headers "\"${header}\"")
      endforeach()
    endif()
  endforeach()
  if(NOT target STREQUAL library)
    list(APPEND headers <gtest/gtest.h>)
  endif()
  # C and assembly sources of the library take none of them. A ">" inside a generator expression
  # would end it early, so it is written as $<ANGLE-R>.
  list(TRANSFORM headers REPLACE ">" "$<ANGLE-R>")
  list(TRANSFORM headers REPLACE "^(.+)$" "$<$<COMPILE_LANGUAGE:CXX>:\\1>")
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

function(vx_library name)
  cmake_parse_arguments(ARG "" "EXCLUDE;PREFIX" "DEPS;PRIVATE_DEPS;TEST_DEPS;DIRS" ${ARGN})
  set(dir "${CMAKE_CURRENT_SOURCE_DIR}")
  if(NOT ARG_PREFIX)
    message(FATAL_ERROR "vx_library(${name}): PREFIX names the include spelling of the library")
  endif()

  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.c" "${dir}/*.S")
  foreach(sub IN LISTS ARG_DIRS)
    if(NOT IS_DIRECTORY "${dir}/${sub}")
      message(FATAL_ERROR "vx_library(${name}): ${sub} is not a sub-folder of ${dir}")
    endif()
    file(GLOB_RECURSE sub_sources CONFIGURE_DEPENDS "${dir}/${sub}/*.cpp" "${dir}/${sub}/*.c" "${dir}/${sub}/*.S")
    list(APPEND sources ${sub_sources})
  endforeach()
  # Leave out tests, fixtures and every nested library's folder.
  list(FILTER sources EXCLUDE REGEX "/(tests|fixtures)/")
  file(GLOB_RECURSE nested_lists "${dir}/*/CMakeLists.txt")
  foreach(nested IN LISTS nested_lists)
    get_filename_component(nested_dir "${nested}" DIRECTORY)
    list(FILTER sources EXCLUDE REGEX "^${nested_dir}/")
  endforeach()
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${dir}/(${ARG_EXCLUDE})")
  endif()

  add_library(${name} STATIC ${sources})
  vx_include_root(${name} "${ARG_PREFIX}" "${dir}")
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} Threads::Threads PRIVATE ${ARG_PRIVATE_DEPS})
  # The build's own paths come from a generated header ("vxbuild/Paths.h"), not from the command
  # line, so only the few files that use them depend on where the tree is checked out.
  target_include_directories(${name} PRIVATE "${VX_BUILD_PATHS_ROOT}")
  vx_precompile_headers(${name} ${name})

  file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS "${dir}/tests/*.cpp")
  if(test_sources)
    add_executable(${name}_tests ${test_sources})
    # Every test program runs under the testing main: temporary sandbox, pinned locale and zone.
    target_link_libraries(${name}_tests PRIVATE ${name} ${ARG_TEST_DEPS} vxtesting_main
      GTest::gtest GTest::gmock)
    # "vxbuild/TestPaths.h" names this program's tests/ folder as VX_TEST_DIR.
    set(test_paths_root "${CMAKE_BINARY_DIR}/include/${name}_tests-paths")
    file(CONFIGURE OUTPUT "${test_paths_root}/vxbuild/TestPaths.h" CONTENT
      "#pragma once\n#include \"vxbuild/Paths.h\"\n#define VX_TEST_DIR \"${dir}/tests\"\n")
    target_include_directories(${name}_tests PRIVATE "${VX_BUILD_PATHS_ROOT}" "${test_paths_root}")
    vx_precompile_headers(${name}_tests ${name})
    gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "VX_RESOURCES=${VX_BUILD_RESOURCES_DIR};GALLIUM_DRIVER=llvmpipe"
      TIMEOUT 120)
  endif()
endfunction()

# vx_include_root(<target> <spelling> <folder> [PRIVATE])
#
# Makes `#include "<spelling>/X.h"` find <folder>/X.h for the target (and, unless PRIVATE, for
# its users): a link named <spelling> to the folder, in an include root of the target's own.
function(vx_include_root target spelling folder)
  set(root "${CMAKE_BINARY_DIR}/include/${target}")
  if(ARGN STREQUAL "PRIVATE")
    set(scope PRIVATE)
  else()
    set(scope PUBLIC)
  endif()
  get_filename_component(parent "${root}/${spelling}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
  file(CREATE_LINK "${folder}" "${root}/${spelling}" SYMBOLIC)
  target_include_directories(${target} ${scope} "${root}")
endfunction()
