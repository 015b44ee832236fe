# The rules' walls hold: each probe of tests/walls that a rule file must not be builds with an
# error of the walls' own, and a plain rule file builds. Run by CTest with BUILD (the build
# folder) and PROBES (the probes that must fail).
set(failed "")
foreach(probe ${PROBES})
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target qv_wall_${probe}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(status EQUAL 0)
    list(APPEND failed "${probe} built")
  elseif(NOT "${out}${err}" MATCHES "the game's rules use no|attempt to use poisoned")
    list(APPEND failed "${probe} failed for another reason")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target qv_wall_plain
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  list(APPEND failed "a plain rule file did not build: ${out}${err}")
endif()
if(failed)
  message(FATAL_ERROR "the rules' walls do not hold: ${failed}")
endif()
list(LENGTH PROBES n)
message(STATUS "${n} probes stopped by the walls; a plain rule file builds")
