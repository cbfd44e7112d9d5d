# The layer check catches each way an include can reach up, and passes those that point down.
# Run as: cmake -DCHECK=<CheckLayers.cmake> -DWORK=<scratch folder> -P CheckLayersTest.cmake
cmake_minimum_required(VERSION 3.25)
# Each case: the file, its include line, and whether that is a fault or points down.
set(cases
  "model/A.h|#include \"../editor/E.h\"|fault"
  "model/A.h|  #  include \"../editor/E.h\"|fault"
  "model/A.h|#include \"editor/E.h\"|fault"
  "analytical/graph/A.h|#include \"../../editor/E.h\"|fault"
  "model/A.h|#include \"../../outside.h\"|fault"
  "model/A.cpp|#include <wx/string.h>|fault"
  "model/A.h|#include \"M.h\"|down"
  "model/A.h|#include \"../platform/P.h\"|down"
  "editor/A.h|#include \"../model/M.h\"|down"
  "analytical/graph/A.h|#include \"../ADist.h\"|down"
  "analytical/graph/A.h|#include \"analytical/ADist.h\"|down")
set(mismatches 0)
foreach(case ${cases})
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 file)
  list(GET fields 1 line)
  list(GET fields 2 expected)
  file(REMOVE_RECURSE "${WORK}")
  foreach(header editor/E.h model/M.h platform/P.h analytical/ADist.h)
    file(WRITE "${WORK}/${header}" "#pragma once\n")
  endforeach()
  file(WRITE "${WORK}/${file}" "#pragma once\n${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${CHECK} RESULT_VARIABLE result
                  OUTPUT_QUIET ERROR_QUIET)
  if(result EQUAL 0)
    set(found down)
  else()
    set(found fault)
  endif()
  if(NOT found STREQUAL expected)
    message(SEND_ERROR "${file}: ${line}: the check found ${found}, not ${expected}")
    math(EXPR mismatches "${mismatches} + 1")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(mismatches EQUAL 0)
  message(STATUS "the layer check tells every case right")
endif()
