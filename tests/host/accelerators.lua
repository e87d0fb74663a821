-- The program-wide accelerator table, fed with real keyboard input by
-- uiwatch (SendInput), which travels through the host's message loop:
--   step 1 (caption Window):  Ctrl+S, a   -> commands 1001 and 4464, high word 1
--   step 2 (caption phase2):  Ctrl+S, a   -> table destroyed: 'a' reaches the edit
--   step 3 (input box):       Ctrl+S, a, OK -> no commands; the box gets 'a'
--   step 4 (caption phase4):  a           -> empty table: 'a' reaches the edit
local t = require "testlib"

local commands = {}   -- accelerator commands seen: {id, high word}
local changes = 0     -- EN_CHANGE of the edit
local phase = 1
local edit

local table1 = {
  { fVirt = FVIRTKEY | FCONTROL, key = VK_S, cmd = 1001 },
  -- Stored as fVirt 0x01 (FVIRTKEY), key 0x41 ('A'), cmd 4464.
  { fVirt = 0x101, key = 0x10041, cmd = 70000 },
}

local function finish()
  t.test("Ctrl+S and the packed entry reach the main window with high word 1", function()
    t.eq(#commands, 2)
    t.eq(commands[1][1], 1001)
    t.eq(commands[1][2], 1)
    t.eq(commands[2][1], 4464)
    t.eq(commands[2][2], 1)
  end)
  t.test("the focused edit did not get the translated keys", function()
    t.eq(text_after_phase1, "")
  end)
  t.test("after DestroyAcceleratorTable the keys reach the edit", function()
    t.eq(text_after_phase2, "a")
  end)
  t.test("no accelerators inside the modal input box", function()
    t.eq(input_result, "a")
    t.eq(commands_in_box, 0)
  end)
  t.test("an empty list turns accelerators off", function()
    t.eq(text_after_phase4, "aa")
  end)
  t.done()
end

dialog_callback = function(w, msg, wp, lp, lo, hi)
  if w ~= hWin or msg ~= WM_COMMAND then return 0 end
  if lp == 0 and (lo == 1001 or lo == 4464) then
    commands[#commands + 1] = { lo, hi }
    if phase == 1 and lo == 4464 then
      text_after_phase1 = GetWindowText(edit)
      DestroyAcceleratorTable()
      phase = 2
      SetWindowText(hWin, "phase2")
    end
  elseif hi == EN_CHANGE and lp == Ptr2Int(edit) then
    changes = changes + 1
    if phase == 2 then
      text_after_phase2 = GetWindowText(edit)
      phase = 3
      CreateAcceleratorTable(table1)
      local before = #commands
      input_result = getInput("Accelerators are off in here")
      commands_in_box = #commands - before
      CreateAcceleratorTable({})
      phase = 4
      SetWindowText(hWin, "phase4")
    elseif phase == 4 then
      text_after_phase4 = GetWindowText(edit)
      finish()
    end
  end
  return 0
end

edit = CreateWindow("EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER,
  10, 10, 200, 24, hWin, 77, 0, 0)
CreateAcceleratorTable(table1)
CreateAcceleratorTable({}, {})   -- two arguments: nothing changes
SetFocus(edit)
