# Fails when a file below the hosts -- the game rules, its presentation, the toolkit, the
# replays, crash reporting or a system's part of the platform -- includes an SDL header. Only
# the hosts (platform/sdl, platform/web) and the program (app) may.
file(GLOB_RECURSE sources
  ${ROOT}/core/*.h ${ROOT}/core/*.cpp
  ${ROOT}/creatures/*.h ${ROOT}/creatures/*.cpp
  ${ROOT}/player/*.h ${ROOT}/player/*.cpp
  ${ROOT}/shell/*.h ${ROOT}/shell/*.cpp
  ${ROOT}/toolkit/*.h ${ROOT}/toolkit/*.cpp
  ${ROOT}/replay/*.h ${ROOT}/replay/*.cpp
  ${ROOT}/platform/*.h ${ROOT}/platform/*.cpp)
set(offenders "")
foreach(f ${sources})
  if(f MATCHES "/platform/(sdl|web)/")
    continue()
  endif()
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL")
  if(lines)
    list(APPEND offenders ${f})
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "SDL is included below the hosts: ${offenders}")
endif()
list(LENGTH sources n)
message(STATUS "${n} files checked: no SDL below the hosts")
