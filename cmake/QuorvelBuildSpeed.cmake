# Build speed only: nothing here changes what the programs do.

# lld links the big sanitized test programs several times faster than the default
# linker (scripts/deps.sh installs it); without it the default one links.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=lld QUORVEL_HAVE_LLD)
if(QUORVEL_HAVE_LLD)
  string(APPEND CMAKE_EXE_LINKER_FLAGS " -fuse-ld=lld")
  string(APPEND CMAKE_SHARED_LINKER_FLAGS " -fuse-ld=lld")
  string(APPEND CMAKE_MODULE_LINKER_FLAGS " -fuse-ld=lld")
endif()

# The sanitized Debug build (the test build) carries line tables only: what the
# sanitizers' reports and the debugger's backtraces show, file and line, for a tenth
# less compile time. OFF brings back full debug info (variables, types).
option(QUORVEL_DEBUG_LINES_ONLY "Line tables only (-g1) in the sanitized Debug build" ON)
if(QUORVEL_DEBUG_LINES_ONLY AND QUORVEL_SANITIZE)
  add_compile_options($<$<CONFIG:Debug>:-g1>)
endif()

# Precompiled headers in the Debug build only: from a precompiled header GCC 12 lets
# through the standard headers' own false warnings of the optimiser (-Warray-bounds in
# std::string at -O3), which -Werror would turn into errors.
if(NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(CMAKE_DISABLE_PRECOMPILE_HEADERS ON)
endif()

# Packages whose compile flags define feature-test macros (fluidsynth: _DEFAULT_SOURCE,
# _XOPEN_SOURCE): the shared header below does not fit the libraries that use them.
set(QUORVEL_PCH_OWN_MACROS "PkgConfig::FLUIDSYNTH")

# The standard headers our libraries use most, parsed once into a precompiled header
# that every quorvel_library reuses; parsing them was most of the time of a source
# file. Include this file after the compile options are set: the header is built
# with the options of the targets that reuse it.
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/quorvel_pch.cpp CONTENT "")
add_library(quorvel_pch OBJECT ${CMAKE_BINARY_DIR}/quorvel_pch.cpp)
target_precompile_headers(quorvel_pch PRIVATE
  <algorithm> <array> <chrono> <cmath> <cstddef> <cstdint> <cstdio> <cstdlib> <cstring>
  <filesystem> <functional> <map> <memory> <mutex> <optional> <span> <string> <string_view>
  <thread> <utility> <vector>)
