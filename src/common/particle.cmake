# The particle-file reader.
target_sources(quorvel_common PRIVATE ${CMAKE_CURRENT_LIST_DIR}/particle_file.cpp)
