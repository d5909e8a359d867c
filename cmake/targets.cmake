# One library target per source folder: every .cpp below the folder belongs to it,
# so adding a file needs no edit here.

function(q_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(Q_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  # GCC 12's optimiser warns wrongly inside its own std::basic_string,
  # std::variant and std::vector once they are inlined (-Wrestrict: GCC bug
  # 105329; -Warray-bounds, -Wmaybe-uninitialized, -Wstringop-*), and inside
  # SpiderMonkey's Rooted<T>, whose constructor links a stack root into the
  # context by design (-Wdangling-pointer); none points at our code. Debug
  # builds keep the first ones.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    set(inlined_library_false_alarms -Wno-restrict -Wno-array-bounds -Wno-maybe-uninitialized
        -Wno-stringop-overread -Wno-stringop-overflow)
    target_compile_options(${target} PRIVATE -Wno-dangling-pointer
                           "$<$<NOT:$<CONFIG:Debug>>:${inlined_library_false_alarms}>")
  endif()
endfunction()

# Files of a folder that belong to a target of their own below the folder's.
set(Q_SEPARATE_SOURCES ${CMAKE_SOURCE_DIR}/core/text/text.cpp ${CMAKE_SOURCE_DIR}/program/program_classes.cpp)

# Above compat/ nothing includes SDL, SDL_mixer or Bullet. The compat targets
# link them privately, so their include folders reach no one else; and for
# each of their headers that the system's include folder would still offer
# (<SDL2/SDL.h>, <bullet/...>), a header of the same name here stops the build.
set(Q_LAYER_GUARD ${CMAKE_BINARY_DIR}/layer_guard)
function(q_write_layer_guard)
  file(GLOB sdl_headers RELATIVE /usr/include /usr/include/SDL2/*.h)
  file(GLOB_RECURSE bullet_headers RELATIVE /usr/include /usr/include/bullet/*.h)
  foreach(header ${sdl_headers} ${bullet_headers})
    if(NOT EXISTS ${Q_LAYER_GUARD}/${header})
      file(WRITE ${Q_LAYER_GUARD}/${header}
           "#error \"SDL, SDL_mixer and Bullet are reached only through compat/ (${header})\"\n")
    endif()
  endforeach()
endfunction()
q_write_layer_guard()

function(q_above_compat target)
  target_include_directories(${target} BEFORE PRIVATE ${Q_LAYER_GUARD})
endfunction()

# q_library(name folder deps... [PRIVATE deps...]): the PRIVATE ones are for
# the folder's own code alone.
function(q_library name folder)
  cmake_parse_arguments(Q "" "" "PRIVATE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/${folder}/main\\.cpp$")
  list(REMOVE_ITEM sources ${Q_SEPARATE_SOURCES})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${Q_UNPARSED_ARGUMENTS} PRIVATE ${Q_PRIVATE})
    q_warnings(${name})
    if(NOT name MATCHES "^compat_")
      q_above_compat(${name})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${Q_UNPARSED_ARGUMENTS})
  endif()
endfunction()

# q_tests(folder library): tests/<folder>/*_test.cpp become one program; files named
# *_display_test.cpp a second one with the label "display" (SDL's offscreen GL, no X),
# files named *_xvfb_test.cpp a third with the label "xvfb" (real input, screen grabs).
function(q_tests folder library)
  set(dir ${CMAKE_SOURCE_DIR}/tests/${folder})
  file(GLOB_RECURSE all CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  file(GLOB_RECURSE helpers CONFIGURE_DEPENDS ${dir}/*_helpers.cpp)
  set(display ${all})
  list(FILTER display INCLUDE REGEX "_display_test\\.cpp$")
  set(xvfb ${all})
  list(FILTER xvfb INCLUDE REGEX "_xvfb_test\\.cpp$")
  set(plain ${all})
  list(FILTER plain EXCLUDE REGEX "_(display|xvfb)_test\\.cpp$")
  string(REPLACE "/" "_" base ${folder})
  q_test_program(${base}_tests "" "${plain}" "${helpers}" ${library})
  q_test_program(${base}_display_tests display "${display}" "${helpers}" ${library})
  q_test_program(${base}_xvfb_tests xvfb "${xvfb}" "${helpers}" ${library})
endfunction()

function(q_test_program name kind sources helpers)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources} ${helpers} ${CMAKE_SOURCE_DIR}/tests/support/test_setup.cpp)
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    Q_SOURCE_DIR="${CMAKE_SOURCE_DIR}" Q_BINARY_DIR="${CMAKE_BINARY_DIR}" Q_TEST_KIND="${kind}")
  q_warnings(${name})
  if(NOT name MATCHES "^compat_")
    q_above_compat(${name})
  endif()
  if(kind)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES LABELS ${kind})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
