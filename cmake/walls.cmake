# The rules' files see walls where the system's headers would be (cmake/walls): a rule file
# that includes SDL, zlib, <fstream>, <filesystem> or <unistd.h>, or reads the environment,
# does not build.
function(qv_rules_walls target)
  target_include_directories(${target} BEFORE PRIVATE ${CMAKE_SOURCE_DIR}/cmake/walls/rules)
  target_compile_options(${target} PRIVATE -include ${CMAKE_SOURCE_DIR}/cmake/walls/rules_poison.h)
endfunction()
