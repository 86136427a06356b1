# Warnings and sanitizers for every target of ours. Library headers come in
# through imported targets, which CMake marks as system headers, so they stay quiet.
add_compile_options(-Wall -Wextra -Wshadow)
if(QUORVEL_WERROR)
  add_compile_options(-Werror)
endif()

if(QUORVEL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
