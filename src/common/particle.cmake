# The particle-file reader.
target_sources(quorvel_common PRIVATE ${CMAKE_CURRENT_LIST_DIR}/particle_file.cpp)
# Files are applied through the engine's particle pool.
target_link_libraries(quorvel_common PUBLIC quorvel_engine)
