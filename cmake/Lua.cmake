# Lua 5.3 for both builds.
#  lua_headers: include path and the definitions a module needs to compile.
#  lua_runtime: lua_headers plus the library (for programs that embed Lua).
# On Windows lua53.dll and lua.exe are compiled from Debian's lua5.3 source
# package, which scripts/setup.sh unpacks into a cache outside the work tree.

include(SetupCache)

add_library(lua_headers INTERFACE)
add_library(lua_runtime INTERFACE)
target_link_libraries(lua_runtime INTERFACE lua_headers)

if(WIN32)
  if(NOT LUA_SRC_DIR)
    setup_cache_dir(_cache)
    if(EXISTS "${_cache}/lua-src-dir")
      file(STRINGS "${_cache}/lua-src-dir" _dir LIMIT_COUNT 1)
      set(LUA_SRC_DIR "${_dir}" CACHE PATH "Lua 5.3 src/ folder (from Debian's source package)")
    endif()
  endif()
  if(NOT EXISTS "${LUA_SRC_DIR}/lapi.c")
    message(FATAL_ERROR "Lua 5.3 source not found (LUA_SRC_DIR='${LUA_SRC_DIR}'); run scripts/setup.sh")
  endif()

  set(_core lapi lcode lctype ldebug ldo ldump lfunc lgc llex lmem lobject lopcodes
            lparser lstate lstring ltable ltm lundump lvm lzio
            lauxlib lbaselib lbitlib lcorolib ldblib liolib lmathlib loslib lstrlib
            ltablib lutf8lib loadlib linit)
  list(TRANSFORM _core PREPEND "${LUA_SRC_DIR}/")
  list(TRANSFORM _core APPEND ".c")

  add_library(lua53 SHARED ${_core})
  set_target_properties(lua53 PROPERTIES PREFIX "" OUTPUT_NAME lua53
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  # Same configuration as Debian's own build, exported as a DLL.
  target_compile_definitions(lua53 PRIVATE LUA_BUILD_AS_DLL LUA_COMPAT_5_2)
  target_compile_options(lua53 PRIVATE -O2 -w)

  target_include_directories(lua_headers SYSTEM INTERFACE "${LUA_SRC_DIR}")
  target_compile_definitions(lua_headers INTERFACE LUA_BUILD_AS_DLL LUA_COMPAT_5_2)
  target_link_libraries(lua_runtime INTERFACE lua53)

  add_executable(lua "${LUA_SRC_DIR}/lua.c")
  target_link_libraries(lua PRIVATE lua_runtime)
  target_compile_options(lua PRIVATE -w)
  set_target_properties(lua PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LUA53 REQUIRED IMPORTED_TARGET lua5.3)
  target_include_directories(lua_headers SYSTEM INTERFACE ${LUA53_INCLUDE_DIRS})
  target_link_libraries(lua_runtime INTERFACE PkgConfig::LUA53)
  find_program(LUA_INTERPRETER NAMES lua5.3 REQUIRED)
endif()

# A Lua module: a shared library named NAME.dll / NAME.so without a "lib" prefix.
# Natively it does not link Lua: the interpreter provides the symbols.
function(add_lua_module name)
  add_library(${name} SHARED ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  target_compile_options(${name} PRIVATE ${PROJECT_WARNINGS})
  if(WIN32)
    target_link_libraries(${name} PRIVATE lua_runtime)
  else()
    target_link_libraries(${name} PRIVATE lua_headers)
  endif()
endfunction()
