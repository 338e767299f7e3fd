# scripts/windows/libraries.cmake -- included by the root CMakeLists.txt in the Windows
# cross-build (scripts/windows/toolchain.cmake sets ZARAZ_WINDOWS_PREFIX): the target
# PkgConfig::SDL that other builds get from pkg-config, here over the static SDL, SDL_mixer (with
# Ogg Vorbis) and libpng that scripts/windows/libraries.sh cross-builds. There is no SDL_image:
# the SDL_image.h beside this file declares IMG_Load, which platform/image_file.cpp defines.
pkg_check_modules(WINDOWS_LIBRARIES REQUIRED sdl SDL_mixer vorbisfile libpng)
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL INTERFACE
  ${CMAKE_CURRENT_LIST_DIR}/include ${WINDOWS_LIBRARIES_STATIC_INCLUDE_DIRS})
target_compile_options(PkgConfig::SDL INTERFACE ${WINDOWS_LIBRARIES_STATIC_CFLAGS_OTHER})
# SDL's start-up library (SDLmain: WinMain calls main) and -mwindows come with SDL's own flags.
target_link_libraries(PkgConfig::SDL INTERFACE ${WINDOWS_LIBRARIES_STATIC_LDFLAGS})
# platform/image_file.cpp then defines IMG_Load.
target_compile_definitions(PkgConfig::SDL INTERFACE ZARAZ_OWN_IMG_LOAD)

# The platform layer's check program, run under Wine and compared with its Linux build
# (scripts/windows/check-platform).
add_executable(zaraz-platform-check ${CMAKE_CURRENT_LIST_DIR}/platform_check.cpp)
target_link_libraries(zaraz-platform-check PRIVATE zaraz_core)
