# Model, texture and particle modules that the engine builds on.
quorvel_library(quorvel_engine_import
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/import_3ds.cpp
    ${CMAKE_CURRENT_LIST_DIR}/md2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/image.cpp
    ${CMAKE_CURRENT_LIST_DIR}/particle_sim.cpp
  DEPS assimp::assimp PkgConfig::STB PkgConfig::LIBJPEG PkgConfig::LIBPNG quorvel_system)
