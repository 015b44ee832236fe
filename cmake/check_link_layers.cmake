# CTest's link_layers: reads the build's link graph (GRAPH, written by cmake/link_graph.cmake)
# and fails when a library of the game links a library of a layer above its own, when a library
# has no layer, when anything below the hosts links SDL, or when the rules' link closure holds
# SDL or zlib. The layers, from the bottom (docs/architecture.md):
cmake_minimum_required(VERSION 3.20)
set(QV_LAYERS
  "qv_toolkit qv_crash"                      # drawing and controls; the crash report
  "qv_rules qv_shell"                        # the game: its rules and their presentation
  "qv_replay"                                # recording and playback
  "qv_platform_posix qv_platform_windows"    # the system's part
  "qv_frontend"                              # the player's front end
  "qv_platform_sdl qv_platform_headless"     # the hosts
  "qv_platform_web"                          # the browser's host, around the SDL one
  "qv_cli qv_crash_hooks"                    # the program's own parts
  "qv_balance_lib")                          # the tools
# The game object is one class: its rules call its presentation's methods, so the two link each
# other, the one pair of libraries of a layer that do, and the one link that runs upward.
set(QV_LINKS_ALLOWED "qv_rules>qv_shell" "qv_shell>qv_rules")
# The first layer that may link SDL.
set(QV_FIRST_HOST_LAYER 5)

file(STRINGS ${GRAPH} lines)
set(libraries "")
set(known "")
foreach(line IN LISTS lines)
  string(REPLACE " " ";" words "${line}")
  list(GET words 0 what)
  list(GET words 1 target)
  list(APPEND known ${target})
  if(what STREQUAL "library")
    list(APPEND libraries ${target})
  elseif(what STREQUAL "link")
    list(GET words 2 link)
    string(MAKE_C_IDENTIFIER "${target}" id)
    list(APPEND links_${id} ${link})
  endif()
endforeach()

function(layer_of target out)
  set(${out} -1 PARENT_SCOPE)
  # The walls' probes are rule files built alone (tests/walls).
  if(target MATCHES "^qv_wall_")
    set(target qv_rules)
  endif()
  set(n 0)
  foreach(layer IN LISTS QV_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    if(target IN_LIST members)
      set(${out} ${n} PARENT_SCOPE)
      return()
    endif()
    math(EXPR n "${n} + 1")
  endforeach()
endfunction()

# Every target a target links, directly or through others.
function(closure_of target out)
  set(seen "")
  set(queue ${target})
  while(queue)
    list(POP_FRONT queue t)
    string(MAKE_C_IDENTIFIER "${t}" id)
    foreach(link IN LISTS links_${id})
      if(NOT link IN_LIST seen)
        list(APPEND seen ${link})
        list(APPEND queue ${link})
      endif()
    endforeach()
  endwhile()
  set(${out} ${seen} PARENT_SCOPE)
endfunction()

set(faults "")
list(REMOVE_DUPLICATES libraries)
foreach(library IN LISTS libraries)
  layer_of(${library} mine)
  if(mine LESS 0)
    list(APPEND faults "${library} has no layer")
    continue()
  endif()
  string(MAKE_C_IDENTIFIER "${library}" id)
  list(REMOVE_DUPLICATES links_${id})
  foreach(link IN LISTS links_${id})
    if("${library}>${link}" IN_LIST QV_LINKS_ALLOWED)
      continue()
    endif()
    if(link IN_LIST libraries)
      layer_of(${link} theirs)
      if(theirs LESS 0)
        continue()  # said above
      endif()
      if(NOT theirs LESS mine)
        list(APPEND faults "${library} links ${link}, a layer not below its own")
      endif()
    endif()
  endforeach()
  if(mine LESS QV_FIRST_HOST_LAYER)
    closure_of(${library} reached)
    foreach(link IN LISTS reached)
      if(link MATCHES "SDL")
        list(APPEND faults "${library}, below the hosts, links ${link}")
      endif()
    endforeach()
  endif()
endforeach()

closure_of(qv_rules rules)
list(REMOVE_ITEM rules qv_rules)
foreach(link IN LISTS rules)
  if(link MATCHES "SDL|ZLIB|^z$|zlib")
    list(APPEND faults "the rules' link closure holds ${link}")
  endif()
endforeach()

if(NOT "qv_rules" IN_LIST libraries)
  list(APPEND faults "no qv_rules in ${GRAPH}")
endif()
if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The libraries' layers are broken:\n  ${text}")
endif()
list(LENGTH libraries n)
list(JOIN rules ", " rules)
message(STATUS "${n} libraries, each linking only layers below it; the rules link ${rules}")
