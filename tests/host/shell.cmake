# Common dialogs, message boxes, shell, clipboard and process functions.
add_host_test(NAME shell_process SCRIPT shell_process.lua
  ARGS a "b c" "Z:${CMAKE_BINARY_DIR}/bin/uiwatch.exe")
add_host_test(NAME shell_exepath_root SCRIPT shell_exepath_root.lua DRIVE r)
