# Build-time tools: the generator of the built-in files (default skin, window
# icon, particle image and the skin's object file), whose output is compiled
# into the core library, and the archive packer for game authors and tests.

add_executable(make_builtin_resources
  ${CMAKE_SOURCE_DIR}/tools/make_builtin_resources.cpp
  ${CMAKE_SOURCE_DIR}/tools/builtin_skin.cpp
  ${CMAKE_SOURCE_DIR}/tools/builtin_canvas.cpp
  # The pixmaps are written in the JPEG form by the program's own coding.
  ${CMAKE_SOURCE_DIR}/platform/filters/jpeg_codec.cpp
  ${CMAKE_SOURCE_DIR}/platform/filters/pixmap_file_format.cpp)
target_include_directories(make_builtin_resources PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(make_builtin_resources PRIVATE JPEG::JPEG)
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
