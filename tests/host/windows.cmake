# Window, control, message and control-data functions.
add_host_test(NAME windows SCRIPT windows.lua TIMEOUT 90)
add_host_test(NAME messages SCRIPT messages.lua TIMEOUT 90)
add_host_test(NAME app_controls SCRIPT app_controls.lua FILES ../../examples/app/app_controls.lua ../../examples/app/app_win32.lua)
