# Fails when a file of the game rules, its presentation or the toolkit includes an SDL header.
file(GLOB_RECURSE sources
  ${ROOT}/core/*.h ${ROOT}/core/*.cpp
  ${ROOT}/creatures/*.h ${ROOT}/creatures/*.cpp
  ${ROOT}/player/*.h ${ROOT}/player/*.cpp
  ${ROOT}/shell/*.h ${ROOT}/shell/*.cpp)
set(offenders "")
foreach(f ${sources})
  if(f MATCHES "/shell/platform/")
    continue()
  endif()
  file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL")
  if(lines)
    list(APPEND offenders ${f})
  endif()
endforeach()
if(offenders)
  message(FATAL_ERROR "SDL is included outside shell/platform and app: ${offenders}")
endif()
list(LENGTH sources n)
message(STATUS "${n} files checked: no SDL outside the platform")
