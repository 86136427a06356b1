# Materials and mesh loading: shared scene services built on the engine.
target_sources(quorvel_common PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/materials.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mesh_loading.cpp)
target_link_libraries(quorvel_common PUBLIC quorvel_engine)
