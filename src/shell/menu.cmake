# The 3D main menu, the load-game screen and the screen services they share.
target_sources(quorvel_shell PRIVATE
  ${CMAKE_SOURCE_DIR}/src/shell/engine_objects.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/main_menu.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/menu_scene.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/load_game.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/loading_screen.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/bitmap_font.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/screenshot.cpp
  ${CMAKE_SOURCE_DIR}/src/shell/waits.cpp)
# The load-game screen hands over to the game run, which builds on the shell in turn.
target_link_libraries(quorvel_shell PUBLIC quorvel_game quorvel_audio quorvel_engine quorvel_forms)
