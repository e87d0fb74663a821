# Common dialogs, message boxes, shell, clipboard and process functions.
add_host_test(NAME shell_process SCRIPT shell_process.lua
  ARGS a "b c" "Z:${CMAKE_BINARY_DIR}/bin/uiwatch.exe")
add_host_test(NAME shell_exepath_root SCRIPT shell_exepath_root.lua DRIVE r)
add_host_test(NAME shell_files SCRIPT shell_files.lua EXPECT shell_files.expect TIMEOUT 90 FORGET_DIALOG_FOLDERS
  UIWATCH "--timeout 60000 --caption Open --dump --set 1148 existing.txt \
--next --caption 'Save As' --dump \
--next --button 6 \
--next --caption 'Save As' --set 1148 fresh \
--next --caption Open --dump --button 2 \
--next --caption 'Save As' --dump --button 2")
add_host_test(NAME shell_pickers SCRIPT shell_pickers.lua EXPECT shell_pickers.expect TIMEOUT 90
  UIWATCH "--timeout 60000 --caption Font --dump \
--next --caption Font \
--next --caption Font --button 2 \
--next --caption Color --dump --delay 500 --press 712 \
--next --caption Color --delay 800 --click 721 6 6 \
--next --caption Color --button 2")
add_host_test(NAME shell_boxes SCRIPT shell_boxes.lua EXPECT shell_boxes.expect TIMEOUT 90
  UIWATCH "--timeout 60000 --button 6 --next --button 2 \
--next --caption 'Browse for Folder' --dump \
--next --caption 'Browse for Folder' --button 2")
