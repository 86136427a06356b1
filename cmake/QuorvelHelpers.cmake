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
