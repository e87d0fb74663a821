# Input box, run box, script dialogs; menus, accelerators and timers.

# Each --next step answers the next box the script opens, in order.
add_host_test(NAME dialogs_input SCRIPT dialogs_input.lua EXPECT dialogs_input.expect
  UIWATCH "--timeout 40000 --caption Confirm --dump --button 1
           --next --caption Confirm --dump --button 2
           --next --caption Confirm --dump --button 1
           --next --caption 'Own caption' --dump --set 4 'typed here' --button 1
           --next --caption Confirm --dump --button 0 --keys esc
           --next --caption Confirm --dump --close
           --next --caption Confirm --button 0 --keys enter")

# The run box stays open between pieces of code: later steps find it --again.
add_host_test(NAME dialogs_runbox SCRIPT dialogs_runbox.lua EXPECT dialogs_runbox.expect
  UIWATCH "--timeout 50000 --caption 'Run lua code' --dump --set 4 'return 1, \"a\", nil'
           --next --caption 'Run lua code' --again --delay 400 --dump --set 4 'return ('
           --next --delay 300
           --next --caption 'Run lua code' --again --delay 300
                  --set 4 'after_error = label() return \"next\"'
           --next --caption 'Run lua code' --again --delay 400 --dump --set 4 'error(\"boom\", 0)'
           --next --delay 300
           --next --caption 'Run lua code' --again --delay 300
                  --set 4 'seen = sharedhWin seen_caption = GetWindowText(seen) in_nested = true nested = getInput(\"nested?\") in_nested = false'
           --next --caption Confirm --delay 300 --dump --set 4 'from nested'
           --next --caption 'Run lua code' --again --delay 400
                  --set 4 'after_nothing = label()'
           --next --caption 'Run lua code' --again --delay 400 --button 2")

add_host_test(NAME dialogs_new SCRIPT dialogs_new.lua EXPECT dialogs_new.expect
  UIWATCH "--timeout 40000 --delay 200
           --next --caption Confirm --delay 200 --set 4 'typed in nested' --button 1
           --next --delay 200
           --next --delay 200")

add_host_test(NAME menus SCRIPT menus.lua)

# Real key presses from uiwatch; the script renames its window between steps.
add_host_test(NAME accelerators SCRIPT accelerators.lua
  UIWATCH "--timeout 40000 --caption Window --button 0 --keys ^s,a
           --next --caption phase2 --again --button 0 --keys ^s,a
           --next --caption Confirm --keys ^s,a --button 1
           --next --caption phase4 --again --button 0 --keys a")
