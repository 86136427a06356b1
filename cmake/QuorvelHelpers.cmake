# A misspelt keyword would otherwise land silently in the list before it.
macro(quorvel_no_other_arguments)
  if(ARG_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${CMAKE_CURRENT_FUNCTION}(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
  endif()
endmacro()

# quorvel_library(name [SOURCES ...] [PUBLIC ...] [PRIVATE ...])
#   A static library of ours; the src/ folder is on the include path, so code
#   includes "platform/engine/engine.h", "common/textfile.h" and so on. PUBLIC names
#   the libraries that its headers need, PRIVATE the ones only its sources use.
function(quorvel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  quorvel_no_other_arguments()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  # The shared precompiled header (cmake/QuorvelBuildSpeed.cmake) serves only sources
  # compiled with the same macros: a library whose packages set feature-test macros
  # of their own parses its headers itself.
  set(own_macros ${ARG_PUBLIC} ${ARG_PRIVATE})
  list(FILTER own_macros INCLUDE REGEX "^(${QUORVEL_PCH_OWN_MACROS})$")
  if(NOT own_macros)
    target_precompile_headers(${name} REUSE_FROM quorvel_pch)
  endif()
endfunction()

# quorvel_program(name SOURCES ... [DEPS ...])
#   A program written into the program folder.
function(quorvel_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  quorvel_no_other_arguments()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS})
  # Exported symbols put function names into the backtrace of a fatal signal.
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${QUORVEL_GAME_DIR} ENABLE_EXPORTS ON)
endfunction()

# quorvel_use_test_pch(target)
#   GoogleTest and the standard headers, parsed once for all test code
#   (quorvel_test_pch in tests/support).
function(quorvel_use_test_pch target)
  target_link_libraries(${target} PRIVATE GTest::gtest)
  target_precompile_headers(${target} REUSE_FROM quorvel_test_pch)
endfunction()

# quorvel_test(name SOURCES ... [DEPS ...] [ENV ...])
#   A GoogleTest program; every test case runs in a process of its own.
function(quorvel_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;ENV" ${ARGN})
  quorvel_no_other_arguments()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    QUORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUORVEL_GAME_DIR="${QUORVEL_GAME_DIR}")
  quorvel_use_test_pch(${name})
  # The environment goes through `env` in front of the test program: the test
  # discovery writes a list-valued ENVIRONMENT property out as one item only.
  if(ARG_ENV)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "env;${ARG_ENV}")
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# quorvel_bench(name SOURCES ... [DEPS ...])
function(quorvel_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  quorvel_no_other_arguments()
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
