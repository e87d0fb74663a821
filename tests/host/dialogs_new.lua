-- Script dialogs: initialisation, messages before it, closing only through
-- EndDialog, a first argument that is not a function, errors, nesting.
-- uiwatch answers, in order: the error box of the failing WM_SETFONT, the
-- input box opened from the dialog, the "wasn't a function" box, the error
-- box of a failing initialisation function.
local t = require "testlib"

local WM_SETFONT = 0x30
local PROBE = 0x8001

local phase
local log = {}            -- phase A: what the dialog's callback saw, in order
local dialog_a
local ticks = 0
local closers = 0         -- WM_CLOSE/IDCANCEL sent before EndDialog
local probes = 0
local owner_disabled      -- dialog A while its input box ran
local input_answer

local function style(w) return GetWindowLong(w, GWL_STYLE) end

local function on_dialog(w, msg, wp, lp, lo)
  if phase ~= "A" then return 0 end
  if msg == WM_SETFONT and not log.setfont then
    log.setfont = true
    log[#log + 1] = "setfont"
    log.setfont_window_is_new = (w ~= hWin and w ~= dialog_hwin)
    error("setfont fails")
  elseif msg == PROBE then
    probes = probes + 1
    return 1
  elseif msg == WM_TIMER and lo == 5 then
    ticks = ticks + 1
    if ticks == 1 then
      -- No closing behaviour of the host's own.
      SendMessageInt(w, WM_CLOSE, 0, 0)
      SendMessageInt(w, WM_COMMAND, IDCANCEL, 0)
      closers = 2
    elseif ticks == 2 then
      -- Many messages, with and without a callback: the stack stays put.
      for _ = 1, 3000 do SendMessageInt(w, PROBE, 0, 0) end
      local cb = dialog_callback
      dialog_callback = nil
      for _ = 1, 3000 do SendMessageInt(w, PROBE, 0, 0) end
      dialog_callback = 42
      for _ = 1, 3000 do SendMessageInt(w, PROBE, 0, 0) end
      dialog_callback = cb
    elseif ticks == 3 then
      input_answer = getInput("from the dialog")
    elseif ticks == 4 then
      KillTimer(w, 5)
      EndDialog(w, 0)
    end
  end
  return 0
end

dialog_callback = function(w, msg, wp, lp, lo)
  if w ~= hWin then return on_dialog(w, msg, wp, lp, lo) end
  if msg == WM_TIMER and lo == 2 then
    if phase == "A" and ticks == 3 and dialog_a then
      owner_disabled = owner_disabled or (style(dialog_a) & WS_DISABLED) ~= 0
    elseif (phase == "B" or phase == "C") and dialog_hwin ~= dialog_a then
      -- Once its box is answered the empty dialog shows; then end it.
      local s = style(dialog_hwin)
      if s & WS_VISIBLE ~= 0 and s & WS_DISABLED == 0 then
        log[phase] = GetWindowText(dialog_hwin)
        EndDialog(dialog_hwin, 0)
      end
    end
  elseif msg == WM_TIMER and lo == 1 then
    KillTimer(hWin, 1)
    SetTimer(hWin, 2, 30)

    phase = "A"
    local results = table.pack(NewDialog(function(...)
      log[#log + 1] = "init"
      log.init_args = select("#", ...)
      dialog_a = dialog_hwin
      log.caption = GetWindowText(dialog_hwin)
      SetTimer(dialog_hwin, 5, 40)
    end))
    t.test("NewDialog gives no result and returns on EndDialog only", function()
      t.eq(results.n, 0)
      t.eq(closers, 2)
      t.eq(ticks, 4)
    end)
    t.test("WM_SETFONT reaches dialog_callback before the initialisation", function()
      t.eq(log[1], "setfont")
      t.eq(log[2], "init", "a callback error does not stop the initialisation")
      t.eq(log.setfont_window_is_new, true)
      t.eq(log.init_args, 0)
    end)
    t.test("an empty window titled Window; dialog_hwin names it", function()
      t.eq(type(dialog_a), "userdata")
      t.eq(log.caption, "Window")
      t.truthy(dialog_hwin == dialog_a)
    end)
    t.test("every message reaches the callback", function() t.eq(probes, 3000) end)
    t.test("a box opened from the dialog is owned by it", function()
      t.eq(input_answer, "typed in nested")
      t.eq(owner_disabled, true)
    end)

    phase = "D"
    local inits = 0
    local saved = dialog_callback
    dialog_callback = nil
    NewDialog(function()
      inits = inits + 1
      for _ = 1, 3000 do SendMessageInt(dialog_hwin, PROBE, 0, 0) end
      EndDialog(dialog_hwin, 0)
    end)
    dialog_callback = saved
    t.test("without dialog_callback the dialog still works", function() t.eq(inits, 1) end)

    phase = "B"
    NewDialog(42)
    t.test("a first argument that is not a function leaves an empty dialog", function()
      t.eq(log.B, "Window")
    end)

    phase = "C"
    NewDialog(function() error("init fails", 0) end)
    t.test("a failing initialisation leaves the dialog open", function()
      t.eq(log.C, "Window")
    end)
    t.test("main window enabled again", function() t.eq(style(hWin) & WS_DISABLED, 0) end)
    t.done()
  end
  return 0
end

SetTimer(hWin, 1, 50)
