# Input box, run box, script dialogs; menus, accelerators and timers.

add_host_test(NAME menus SCRIPT menus.lua)
