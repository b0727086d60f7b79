# Every target of the project builds with the same warnings; scripts/test makes them errors, so a
# newer compiler's new warning does not stop someone else's build.
add_library(vantora_warnings INTERFACE)
target_compile_options(vantora_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
  -Woverloaded-virtual -Wimplicit-fallthrough)
if(VANTORA_WERROR)
  target_compile_options(vantora_warnings INTERFACE -Werror)
endif()
target_compile_definitions(vantora_warnings INTERFACE
  QT_NO_KEYWORDS)

if(VANTORA_SANITIZE)
  target_compile_options(vantora_warnings INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(vantora_warnings INTERFACE -fsanitize=address,undefined)
endif()
