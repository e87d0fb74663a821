# Writes the licence texts of the runtime's third-party parts into one folder:
#   cmake -DLICENSES_DIR=<dir> -DLUA_PKG=<Lua source package> [-DSDL_PREFIX=<dir>] -P StageLicenses.cmake
# (or include()d with those variables set). Lua's notice sits at the end of
# lua.h; Debian's copyright file restates it. The SDL prefix carries the texts
# of its packages in licenses/. The folder is made afresh.
file(REMOVE_RECURSE "${LICENSES_DIR}")
file(MAKE_DIRECTORY "${LICENSES_DIR}/lua5.3")
file(READ "${LUA_PKG}/src/lua.h" luah)
string(FIND "${luah}" "* Copyright (C)" at)
if(at LESS 0)
  message(FATAL_ERROR "licences: no licence notice in ${LUA_PKG}/src/lua.h")
endif()
string(SUBSTRING "${luah}" ${at} -1 notice)
string(REGEX REPLACE "\\*+/.*" "" notice "${notice}")
string(REGEX REPLACE "(^|\n)\\* ?" "\\1" notice "${notice}")
file(WRITE "${LICENSES_DIR}/lua5.3/LICENSE.txt" "${notice}")
if(EXISTS "${LUA_PKG}/debian/copyright")
  file(COPY "${LUA_PKG}/debian/copyright" DESTINATION "${LICENSES_DIR}/lua5.3")
  file(RENAME "${LICENSES_DIR}/lua5.3/copyright" "${LICENSES_DIR}/lua5.3/debian-copyright")
endif()
if(SDL_PREFIX)
  if(EXISTS "${SDL_PREFIX}/licenses")
    file(COPY "${SDL_PREFIX}/licenses/" DESTINATION "${LICENSES_DIR}")
  else()
    message(WARNING "licences: ${SDL_PREFIX} has no licenses/ folder; add the SDL2 libraries' licence texts by hand")
  endif()
endif()
