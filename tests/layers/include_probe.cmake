# cmake -DCOMPILER=cc -DDIRS="dir|dir..." -DSEES=layer/a.h -DREFUSES=layer/b.h -P include_probe.cmake
# Preprocesses one include at a time with a layer's include folders: SEES must
# resolve and REFUSES must not, so the build itself refuses an include up the tower.
string(REPLACE "|" ";" DIRS "${DIRS}")
list(TRANSFORM DIRS PREPEND -I)
string(MAKE_C_IDENTIFIER "${REFUSES}" name)
set(probe ${CMAKE_CURRENT_BINARY_DIR}/include_probe_${name}.cpp)
foreach(header IN ITEMS ${SEES} ${REFUSES})
  file(WRITE ${probe} "#include \"${header}\"\n")
  execute_process(COMMAND ${COMPILER} -E -o /dev/null ${DIRS} ${probe}
                  RESULT_VARIABLE failed ERROR_VARIABLE errors)
  if(header STREQUAL SEES AND failed)
    message(FATAL_ERROR "${SEES} does not resolve:\n${errors}")
  elseif(header STREQUAL REFUSES AND NOT errors MATCHES "${REFUSES}: No such file")
    message(FATAL_ERROR "${REFUSES} resolves, or fails for another reason:\n${errors}")
  endif()
endforeach()
file(REMOVE ${probe})
message(STATUS "${SEES} resolves, ${REFUSES} does not")
