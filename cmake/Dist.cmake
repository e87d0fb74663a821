# The release archive for Windows users: `cmake --build <tree> --target dist`
# makes <tree>/scripthost-<version>-win64.zip holding one folder:
#
#   scripthost.exe lua53.dll lua.exe            the host, the Lua runtime, the console interpreter
#   scripthost-pack.exe                         the app packer
#   orbix.dll lua_fsop.dll setvar.dll           the modules
#   SDL2*.dll                                   the SDL2 family (stripped)
#   init.lua app_*.lua                          the bundled example app, run by scripthost.exe
#   examples/                                   the smaller samples
#   docs/  README.md                            reference for script authors
#   types/                                      editor definitions: LuaLS addon, luacheck standards
#   manifests/utf-8/  manifests/modern/         opt-in manifests: UTF-8 text; UTF-8 and the modern look
#   licenses/                                   Lua, SDL2 and its libraries, freetype
#
# Included from the top-level CMakeLists.txt (Windows builds only); the same
# file, run with `cmake -P`, stages the folder and writes the zip.

if(NOT CMAKE_SCRIPT_MODE_FILE)
  if(NOT WIN32)
    return()
  endif()
  set(DIST_NAME "scripthost-${PROJECT_VERSION}-win64")
  set(DIST_ZIP "${CMAKE_BINARY_DIR}/${DIST_NAME}.zip")
  set(_files $<TARGET_FILE:scripthost> $<TARGET_FILE:lua53> $<TARGET_FILE:lua> $<TARGET_FILE:scripthost-pack>)
  set(_deps scripthost lua53 lua scripthost-pack)
  foreach(t orbix lua_fsop setvar)
    list(APPEND _files $<TARGET_FILE:${t}>)
    list(APPEND _deps ${t})
  endforeach()
  list(APPEND _files ${SDL_RUNTIME_DLLS})
  string(REPLACE ";" "|" _files "${_files}")
  get_filename_component(_lua_pkg "${LUA_SRC_DIR}/.." ABSOLUTE)
  add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} "-DFILES=${_files}" -DNAME=${DIST_NAME} -DOUT=${DIST_ZIP}
      -DSTAGE=${CMAKE_BINARY_DIR}/dist -DSOURCE=${PROJECT_SOURCE_DIR} -DSTRIP=${CMAKE_STRIP}
      -DLUA_PKG=${_lua_pkg} -DSDL_PREFIX=${SDL_PREFIX}
      -P ${CMAKE_CURRENT_LIST_FILE}
    BYPRODUCTS ${DIST_ZIP}
    COMMENT "Packing ${DIST_NAME}.zip"
    VERBATIM)
  add_dependencies(dist ${_deps})
  return()
endif()

# ---- script mode: stage and zip ------------------------------------------
set(root "${STAGE}/${NAME}")
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${root}")

string(REPLACE "|" ";" FILES "${FILES}")
foreach(f IN LISTS FILES)
  file(COPY "${f}" DESTINATION "${root}")
  get_filename_component(n "${f}" NAME)
  # Release builds carry no debug sections, but the symbol tables still go.
  if(STRIP)
    execute_process(COMMAND "${STRIP}" --strip-unneeded "${root}/${n}" RESULT_VARIABLE rc)
    if(rc)
      message(FATAL_ERROR "dist: stripping ${n} failed")
    endif()
  endif()
endforeach()

# The example app is what scripthost.exe runs from its own folder.
file(GLOB app "${SOURCE}/examples/app/*")
file(COPY ${app} DESTINATION "${root}")
file(GLOB samples LIST_DIRECTORIES true "${SOURCE}/examples/*")
list(REMOVE_ITEM samples "${SOURCE}/examples/app")
if(samples)
  file(COPY ${samples} DESTINATION "${root}/examples")
endif()
file(COPY "${SOURCE}/docs/" DESTINATION "${root}/docs")
file(COPY "${SOURCE}/types/" DESTINATION "${root}/types")
# The opt-in manifests keep their folders: copied beside scripthost.exe, one
# opts the program in (docs/text.md).
file(COPY "${SOURCE}/manifests/" DESTINATION "${root}/manifests")
file(COPY "${SOURCE}/README.md" DESTINATION "${root}")

# Licences of Lua and of the SDL prefix's packages.
set(LICENSES_DIR "${root}/licenses")
include("${CMAKE_CURRENT_LIST_DIR}/StageLicenses.cmake")

file(REMOVE "${OUT}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${OUT}" --format=zip "${NAME}"
  WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "dist: writing ${OUT} failed")
endif()
file(SIZE "${OUT}" size)
message(STATUS "dist: ${OUT} (${size} bytes)")
