# The class reference in docs/, written from the published descriptions of
# every class the program registers (program/program_classes.cpp, shared with
# the program). Rewrite it with
#   cmake --build build/test --target class_reference_docs
# The suite's docs tests fail while the committed file is stale.

add_library(program_classes STATIC ${CMAKE_SOURCE_DIR}/program/program_classes.cpp)
target_link_libraries(program_classes PUBLIC gui engine platform core)
q_warnings(program_classes)
q_above_compat(program_classes)

add_library(class_reference_text STATIC
  ${CMAKE_SOURCE_DIR}/tools/class_reference/class_reference.cpp
  ${CMAKE_SOURCE_DIR}/tools/class_reference/descriptions.cpp
  ${CMAKE_SOURCE_DIR}/tools/class_reference/new_object_values.cpp)
target_link_libraries(class_reference_text PUBLIC program_classes)
# What each published name does, read by the tool and the suite from the checkout.
target_compile_definitions(class_reference_text PRIVATE
  Q_CLASS_DESCRIPTIONS="${CMAKE_SOURCE_DIR}/tools/class_reference/descriptions.txt")
q_warnings(class_reference_text)
q_above_compat(class_reference_text)

add_executable(class_reference ${CMAKE_SOURCE_DIR}/tools/class_reference/main.cpp)
target_link_libraries(class_reference PRIVATE class_reference_text)
q_warnings(class_reference)
q_above_compat(class_reference)

set(Q_CLASS_REFERENCE ${CMAKE_SOURCE_DIR}/docs/reference/classes.md)
add_custom_target(class_reference_docs
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:class_reference> ${Q_CLASS_REFERENCE}
  DEPENDS class_reference ${CMAKE_SOURCE_DIR}/tools/class_reference/descriptions.txt
  COMMENT "Writing docs/reference/classes.md"
  VERBATIM)
