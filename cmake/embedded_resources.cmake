# Build-time tools: the generator of the built-in files (default skin, window
# icon, particle image and the skin's object file), whose output is compiled
# into the core library, and the archive packer for game authors and tests.

add_executable(make_builtin_resources
  ${CMAKE_SOURCE_DIR}/tools/make_builtin_resources.cpp
  ${CMAKE_SOURCE_DIR}/tools/builtin_skin.cpp
  ${CMAKE_SOURCE_DIR}/tools/builtin_canvas.cpp)
target_include_directories(make_builtin_resources PRIVATE ${CMAKE_SOURCE_DIR})
# Drawing with supersampling is slow without optimisation.
target_compile_options(make_builtin_resources PRIVATE -O2)
q_warnings(make_builtin_resources)

set(Q_BUILTIN_RESOURCES_CPP ${CMAKE_BINARY_DIR}/generated/builtin_resources_data.cpp)
add_custom_command(
  OUTPUT ${Q_BUILTIN_RESOURCES_CPP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND make_builtin_resources ${Q_BUILTIN_RESOURCES_CPP}
  DEPENDS make_builtin_resources
  COMMENT "Drawing the built-in skin, icon and particle image"
  VERBATIM)
target_sources(core PRIVATE ${Q_BUILTIN_RESOURCES_CPP})

add_executable(qfs_pack ${CMAKE_SOURCE_DIR}/tools/qfs_pack.cpp)
target_link_libraries(qfs_pack PRIVATE core)
q_warnings(qfs_pack)
