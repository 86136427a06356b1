# Every library the project uses, found once here. Packages come from scripts/deps.sh.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(CURL REQUIRED)
find_package(SDL2 CONFIG REQUIRED)
find_package(assimp CONFIG REQUIRED)
find_package(OpenAL REQUIRED)
find_package(glm CONFIG REQUIRED)

pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(IMGUI REQUIRED IMPORTED_TARGET imgui)
pkg_check_modules(STB REQUIRED IMPORTED_TARGET stb)
pkg_check_modules(LIBJPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(LIBPNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(FLUIDSYNTH REQUIRED IMPORTED_TARGET fluidsynth)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET
  libavformat libavcodec libswresample libswscale libavutil)

# The test support that the benchmarks share needs GoogleTest as well.
if(QUORVEL_TESTS OR QUORVEL_BENCH)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(QUORVEL_BENCH)
  find_package(benchmark REQUIRED)
endif()
