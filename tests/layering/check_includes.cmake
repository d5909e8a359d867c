# Which folders each folder may include: a lower layer never names a higher
# one. Run as  cmake -DROOT=<source folder> -P check_includes.cmake
# and it fails, listing each offending line, when a rule is broken.
#   core/       nothing of platform/, engine/, gui/ or program/
#   core/text/text.*  nothing of ours at all (compat/ uses it)
#   compat/     of core/ only the text converter; nothing above
#   platform/   nothing of engine/, gui/ or program/
#   engine/     nothing of gui/ or program/
#   gui/        nothing of program/
if(NOT ROOT)
  message(FATAL_ERROR "usage: cmake -DROOT=<source folder> -P check_includes.cmake")
endif()

# folder @ paths it may not include @ paths allowed all the same
set(rules
  "core@^(platform|engine|gui|program)/@"
  "compat@^(core|platform|engine|gui|program)/@^core/text/text\\.h$"
  "platform@^(engine|gui|program)/@"
  "engine@^(gui|program)/@"
  "gui@^program/@")
set(broken "")

function(check_folder folder forbidden allowed)
  file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${ROOT}/${source} includes REGEX "^#include \"")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" path "${line}")
      if(path MATCHES "${forbidden}" AND (NOT allowed OR NOT path MATCHES "${allowed}"))
        list(APPEND broken "${source} includes ${path}")
      endif()
    endforeach()
  endforeach()
  set(broken "${broken}" PARENT_SCOPE)
endfunction()

foreach(rule ${rules})
  string(REGEX MATCH "^([^@]*)@([^@]*)@(.*)$" parts "${rule}")
  check_folder(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}" "${CMAKE_MATCH_3}")
endforeach()
# The converter is the leaf the compat layers stand on.
foreach(source core/text/text.h core/text/text.cpp)
  if(EXISTS ${ROOT}/${source})
    file(STRINGS ${ROOT}/${source} includes REGEX "^#include \"")
    foreach(line ${includes})
      if(NOT line MATCHES "\"core/text/text\\.h\"")
        list(APPEND broken "${source} includes ${line}")
      endif()
    endforeach()
  endif()
endforeach()

if(broken)
  list(JOIN broken "\n  " lines)
  message(FATAL_ERROR "Includes against the layering:\n  ${lines}")
endif()
message(STATUS "Layering holds")
