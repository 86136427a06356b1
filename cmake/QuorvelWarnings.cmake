# Warnings and sanitizers for every target of ours. Library headers come in
# through imported targets, which CMake marks as system headers, so they stay quiet.
add_compile_options(-Wall -Wextra -Wshadow)
# GCC 12 at -O2 and above reports overlapping copies inside std::string's own inlined
# code for plain concatenations such as "m" + std::to_string(n), where none can happen
# (a known false positive of that release): the warning says nothing about our code.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
if(QUORVEL_WERROR)
  add_compile_options(-Werror)
endif()

if(QUORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build: every target of ours carries the fuzzer's coverage and both
# sanitizers, with clang's check of float-to-integer conversions out of range (GCC's
# undefined-behaviour sanitizer has none), and any finding stops the run.
if(QUORVEL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "QUORVEL_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined,float-cast-overflow -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined,float-cast-overflow)
endif()
