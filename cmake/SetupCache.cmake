# The folder where scripts/setup.sh keeps what it fetched and built outside
# the work tree (the same rule as the script: SCRIPTHOST_CACHE, else
# XDG_CACHE_HOME/scripthost, else ~/.cache/scripthost).
function(setup_cache_dir out)
  set(dir "$ENV{SCRIPTHOST_CACHE}")
  if(NOT dir)
    if(DEFINED ENV{XDG_CACHE_HOME})
      set(dir "$ENV{XDG_CACHE_HOME}/scripthost")
    else()
      set(dir "$ENV{HOME}/.cache/scripthost")
    endif()
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()
