# Text in every language: start-up from a folder the ANSI code page cannot
# spell, and the UTF-8 opt-in through each shipped manifest. The modern
# look's second run of the area tests is registered in CMakeLists.txt, after
# every area.

# No manifest: the program starts from such a folder; its start-up errors
# read as from any folder.
set(_ansi_folder "工具 Größe")
add_host_test(NAME text_ansi SCRIPT text_ansi.lua FOLDER "${_ansi_folder}" IN_FOLDER FILES gdi_images.lua)
add_host_test_again(init_missing text_ansi.init_missing FOLDER "${_ansi_folder}"
  EXPECT init_missing_non_ansi.expect)
add_host_test_again(init_syntax text_ansi.init_syntax FOLDER "${_ansi_folder}")
add_host_test_again(init_raises text_ansi.init_raises FOLDER "${_ansi_folder}")

# With each manifest, from a folder named in CJK and accented letters.
set(_folder "文字 Ünïcödé 工具")
set(_modules $<TARGET_FILE:orbix> $<TARGET_FILE:lua_fsop> ${SDL_RUNTIME_DLLS})
foreach(kind utf-8 modern)
  add_host_test(NAME text_${kind} SCRIPT text_utf8.lua MANIFEST ${kind} FOLDER "${_folder}" IN_FOLDER
    FILES gdi_images.lua ${_modules} ARGS "Z:${CMAKE_BINARY_DIR}/bin/uiwatch.exe" TIMEOUT 150
    EXPECT text_utf8.expect
    UIWATCH "--timeout 140000 --caption '窓 Fenster ü' --dump --close")
  add_host_test(NAME text_dialogs_${kind} SCRIPT text_dialogs.lua MANIFEST ${kind} FOLDER "${_folder}"
    IN_FOLDER FORGET_DIALOG_FOLDERS FILES gdi_images.lua ${_modules} TIMEOUT 120 EXPECT text_dialogs.expect
    UIWATCH "--timeout 100000 --caption '標題 Ünï' --button 2
             --next --caption '入力 Eingabe' --dump --set 4 '答え Antwort ö' --button 1
             --next --caption Open --set 1148 '写真 Bild é.png' --button 1
             --next --caption 'Save As' --dump --button 1
             --next --caption 'Browse for Folder' --dump --delay 500 --keys end --button 1")
  set_tests_properties(host.text_${kind} host.text_dialogs_${kind} PROPERTIES
    ENVIRONMENT "SDL_AUDIODRIVER=dummy")
endforeach()
add_host_test(NAME text_renamed SCRIPT text_renamed.lua MANIFEST utf-8 FOLDER "${_folder}"
  EXE "アプリ App.exe")
