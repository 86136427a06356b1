# The forms host that draws the forms with Dear ImGui in the game window. It needs the
# forms and the window back end both, so the top level includes it after every folder.
if(TARGET quorvel_sdl AND TARGET quorvel_forms)
  quorvel_library(quorvel_forms_imgui
    SOURCES
      ${CMAKE_SOURCE_DIR}/src/platform/sdl/forms_host.cpp
      ${CMAKE_SOURCE_DIR}/src/platform/sdl/forms_input.cpp
      ${CMAKE_SOURCE_DIR}/src/platform/sdl/forms_images.cpp
      ${CMAKE_SOURCE_DIR}/src/platform/sdl/forms_controls.cpp
      ${CMAKE_SOURCE_DIR}/src/platform/sdl/forms_frame.cpp
    DEPS quorvel_sdl quorvel_forms quorvel_engine quorvel_system PkgConfig::IMGUI PkgConfig::EPOXY)
endif()
