# The browser build's libraries, compiled to WebAssembly by scripts/deps_web.sh into the prefix
# QV_WEB_DEPS: SDL2 (its emscripten backend), SDL2_mixer (WAV and OGG), pixman and zlib, as
# static archives named here by hand under the targets the desktop build finds on the system.
set(QV_WEB_DEPS "" CACHE PATH "The prefix scripts/deps_web.sh printed")
if(NOT EXISTS ${QV_WEB_DEPS}/lib/libSDL2.a)
  message(FATAL_ERROR "QV_WEB_DEPS (${QV_WEB_DEPS}) holds no libSDL2.a: run scripts/deps_web.sh")
endif()

function(qv_web_library target archive)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${QV_WEB_DEPS}/lib/${archive}
                                             INTERFACE_INCLUDE_DIRECTORIES "${ARGN}")
endfunction()

qv_web_library(SDL2::SDL2 libSDL2.a ${QV_WEB_DEPS}/include ${QV_WEB_DEPS}/include/SDL2)
qv_web_library(SDL2_mixer::SDL2_mixer libSDL2_mixer.a ${QV_WEB_DEPS}/include ${QV_WEB_DEPS}/include/SDL2)
set_property(TARGET SDL2_mixer::SDL2_mixer PROPERTY INTERFACE_LINK_LIBRARIES SDL2::SDL2)
qv_web_library(PkgConfig::PIXMAN libpixman-1.a ${QV_WEB_DEPS}/include/pixman-1)
qv_web_library(ZLIB::ZLIB libz.a ${QV_WEB_DEPS}/include)

# SDL's audio through Web Audio wants these JavaScript helpers in every program that links it.
# (From a file: the names' dollars would not pass through the build's shell.)
file(WRITE ${CMAKE_BINARY_DIR}/generated/web_library_funcs.json "[\"$autoResumeAudioContext\", \"$dynCall\"]\n")
add_link_options("SHELL:-s DEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_BINARY_DIR}/generated/web_library_funcs.json")
# Memory that grows as the game needs it.
add_link_options("SHELL:-s ALLOW_MEMORY_GROWTH=1")
# C++ exceptions as on the desktop: caught where the game catches them, and one that nobody
# catches reaches the crash report with its type and message.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)
# The linker's merging of string literals into the tails of others (at its -O2) hands out
# wrong addresses in this toolchain: ScreenName's "play" came back as the end of another
# literal, 11 bytes off. Linked without it.
add_link_options(-Wl,-O0)
