# Every outside library the project links, found once here.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(LibXml2 REQUIRED)
find_package(Freetype REQUIRED)
find_package(Fontconfig REQUIRED)
set(OpenGL_GL_PREFERENCE GLVND)
find_package(OpenGL REQUIRED)
find_package(SDL2 CONFIG REQUIRED)
find_package(SDL2_mixer CONFIG REQUIRED)
pkg_check_modules(UNWIND REQUIRED IMPORTED_TARGET libunwind)
pkg_check_modules(BULLET REQUIRED IMPORTED_TARGET bullet)
# Tracker modules are rendered by ModPlug while they play (compat/audio).
pkg_check_modules(MODPLUG REQUIRED IMPORTED_TARGET libmodplug)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(XKBCOMMON REQUIRED IMPORTED_TARGET xkbcommon xkbcommon-x11 xcb)

# SpiderMonkey's pkg-config flags name its headers with -isystem, which
# pkg_check_modules reads as an include folder on the first configure and as a
# compile option on every later one: the flags of every file that includes it
# change and the engine is compiled again. Found by path, they stay the same.
find_path(MOZJS_INCLUDE_DIR jsapi.h PATH_SUFFIXES mozjs-102 REQUIRED)
find_library(MOZJS_LIBRARY mozjs-102 REQUIRED)
add_library(q_mozjs INTERFACE)
target_include_directories(q_mozjs SYSTEM INTERFACE ${MOZJS_INCLUDE_DIR})
target_link_libraries(q_mozjs INTERFACE ${MOZJS_LIBRARY})

# lib3ds ships no CMake or pkg-config description. The program loads it by
# its shared name when it first reads a ".3ds" model, so a game without one
# never maps it: q3ds gives its headers and that name; LIB3DS_LIBRARY is for
# programs that write models with it (the tests).
find_path(LIB3DS_INCLUDE_DIR lib3ds/file.h REQUIRED)
find_library(LIB3DS_LIBRARY 3ds REQUIRED)
execute_process(COMMAND ${CMAKE_OBJDUMP} -p ${LIB3DS_LIBRARY} OUTPUT_VARIABLE lib3ds_headers ERROR_QUIET)
if(lib3ds_headers MATCHES "SONAME +([^ \n]+)")
  set(LIB3DS_SONAME ${CMAKE_MATCH_1})
else()
  get_filename_component(LIB3DS_SONAME ${LIB3DS_LIBRARY} REALPATH)
endif()
add_library(q3ds INTERFACE)
target_include_directories(q3ds INTERFACE ${LIB3DS_INCLUDE_DIR})
target_compile_definitions(q3ds INTERFACE Q_LIB3DS_SONAME="${LIB3DS_SONAME}")
target_link_libraries(q3ds INTERFACE ${CMAKE_DL_LIBS})

if(Q_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
  if(Q_BENCH)
    find_package(benchmark REQUIRED)
  endif()
endif()

if(Q_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
