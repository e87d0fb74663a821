# The SDL2 family for the Windows build: a prefix cross-built from Debian's
# source packages by scripts/build-sdl.sh (run by scripts/setup.sh), which
# writes its path to "<cache>/sdl-prefix". -DSDL_PREFIX=<dir> names another
# prefix of the same layout (bin/*.dll, lib/cmake, lib/pkgconfig, include).
#
# Sets SDL_PREFIX, points find_package and pkg-config at the prefix, and
# copies the SDL DLLs into the build's bin/ so programs and tests run from
# there find them. Without a prefix the Windows build stops: it would lack
# orbix and everything that ships or tests it.

include(SetupCache)
set(SDL_PREFIX "" CACHE PATH "Cross-built SDL2 prefix (empty: the one scripts/setup.sh built)")

if(NOT SDL_PREFIX)
  setup_cache_dir(_cache)
  # Read on every configure (a new set-up writes a new prefix) and configure
  # again when the set-up changes it.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_cache}/sdl-prefix")
  if(EXISTS "${_cache}/sdl-prefix")
    file(STRINGS "${_cache}/sdl-prefix" _dir LIMIT_COUNT 1)
    if(EXISTS "${_dir}/.done")
      set(SDL_PREFIX "${_dir}")
    endif()
  endif()
endif()

if(NOT SDL_PREFIX)
  message(FATAL_ERROR "SDL2 for Windows not found: run scripts/setup.sh (it cross-builds the SDL2 family), "
    "or name a prefix with -DSDL_PREFIX=<dir>")
endif()
if(NOT EXISTS "${SDL_PREFIX}/lib/cmake/SDL2")
  message(FATAL_ERROR "SDL_PREFIX='${SDL_PREFIX}' holds no SDL2 build")
endif()
message(STATUS "SDL2 for Windows: ${SDL_PREFIX}")

# A new prefix (new versions, or a rebuilt set-up) invalidates what pkg-config
# lookups cached about the old one.
if(NOT SDL_PREFIX_CONFIGURED STREQUAL SDL_PREFIX)
  get_cmake_property(_vars CACHE_VARIABLES)
  foreach(_v ${_vars})
    if(_v MATCHES "^(__pkg_config_checked_|__pkg_config_arguments_|pkgcfg_lib_)?SDL2")
      unset(${_v} CACHE)
    endif()
  endforeach()
endif()
set(SDL_PREFIX_CONFIGURED "${SDL_PREFIX}" CACHE INTERNAL "SDL prefix of the last configure")

# The toolchain searches only below its find roots; the prefix becomes one.
list(APPEND CMAKE_FIND_ROOT_PATH "${SDL_PREFIX}")
list(PREPEND CMAKE_PREFIX_PATH "${SDL_PREFIX}")
foreach(_pkg SDL2 SDL2_image SDL2_mixer SDL2_ttf)
  set(${_pkg}_DIR "${SDL_PREFIX}/lib/cmake/${_pkg}" CACHE PATH "" FORCE)
endforeach()
# pkg-config (SDL2_gfx) must see only the Windows .pc files, not the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${SDL_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

file(GLOB SDL_RUNTIME_DLLS "${SDL_PREFIX}/bin/SDL2*.dll")
foreach(_dll ${SDL_RUNTIME_DLLS})
  get_filename_component(_name "${_dll}" NAME)
  configure_file("${_dll}" "${CMAKE_BINARY_DIR}/bin/${_name}" COPYONLY)
endforeach()
