-- The input box: argument rules, texts, results, ownership and icons. The
-- boxes are answered by uiwatch, one step per box, in the order opened here.
local t = require "testlib"

local seen_icons = {}   -- WM_SETICON kinds the main window got (the owner)
local owner_disabled    -- the main window while a box was open

dialog_callback = function(w, msg, wp, lp, lo)
  if msg == WM_SETICON and w == hWin then seen_icons[#seen_icons + 1] = wp end
  if msg == WM_TIMER and lo == 2 then
    owner_disabled = (GetWindowLong(hWin, GWL_STYLE) & WS_DISABLED) ~= 0
  end
  if msg == WM_TIMER and lo == 1 then
    KillTimer(hWin, 1)
    SetTimer(hWin, 2, 30)

    t.test("argument errors come before any box opens", function()
      t.raises(function() getInput({}) end, "bad argument #1 to 'getInput'")
      t.raises(function() getInput("p", {}) end, "bad argument #2 to 'getInput'")
      t.raises(function() getInput("p", "q", true) end, "bad argument #3 to 'getInput'")
    end)

    t.test("no arguments: prompt ?, empty field; OK gives the empty string", function()
      t.eq(t.count(1, getInput()), "")                                  -- step 1
    end)
    t.test("one argument is the prompt; Cancel gives nil", function()
      t.eq(t.count(1, getInput("Only a prompt")), nil)                    -- step 2
    end)
    t.test("two arguments: prompt and initial text, returned as it stands", function()
      t.eq(getInput("Your name?", "Ada"), "Ada")                          -- step 3
    end)
    t.test("three arguments: the caption too; typed text comes back", function()
      t.eq(getInput("Prompt three", "first", "Own caption"), "typed here")  -- step 4
    end)
    t.test("four arguments are all ignored; Esc gives nil", function()
      t.eq(t.count(1, getInput("a", "b", "c", "d")), nil)                -- step 5
    end)
    t.test("numbers are text; the close box gives nil", function()
      t.eq(t.count(1, getInput(12, 3.5)), nil)                           -- step 6
    end)
    t.test("Enter presses OK", function()
      t.eq(getInput("Press Enter", "kept"), "kept")                      -- step 7
    end)
    t.test("the box is owned by the main window and gives it the icon", function()
      t.eq(owner_disabled, true, "owner disabled while the box runs")
      t.truthy(#seen_icons >= 2, "WM_SETICON to the owner")
      t.eq(seen_icons[1], 0, "ICON_SMALL first")
      t.eq(seen_icons[2], 1, "then ICON_BIG")
    end)
    t.test("after the boxes the main window is the current window again", function()
      t.eq(GetWindowLong(hWin, GWL_STYLE) & WS_DISABLED, 0)
    end)
    t.done()
  end
  return 0
end

SetTimer(hWin, 1, 50)
