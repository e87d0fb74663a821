-- The run box: code typed into it (by uiwatch) runs in this Lua state. The
-- uiwatch steps type, in order:
--   1. return 1, "a", nil            -> label "1<tab>a<tab>nil"
--   2. return (                      -> syntax error box, label kept
--   3. after_error = label() return "next"
--   4. error("boom", 0)              -> error box owned by the run box
--   5. seen = sharedhWin ... nested = getInput("nested?")   (answered "from nested")
--   6. after_nothing = label()
-- and then press Cancel.
local t = require "testlib"

-- The run box's label (control 3) seen from inside: the child at a point of
-- its top left area.
function label()
  return (GetWindowText(ChildWindowFromPoint(sharedhWin, 20, 20)))
end

local owner_of_nested_disabled, runbox_disabled_by_error_box

dialog_callback = function(w, msg, wp, lp, lo)
  if msg == WM_TIMER and lo == 2 and in_nested then
    -- An owner is disabled while the dialog it owns runs.
    owner_of_nested_disabled = (GetWindowLong(sharedhWin, GWL_STYLE) & WS_DISABLED) ~= 0
  elseif msg == WM_TIMER and lo == 2 and sharedhWin and not in_nested then
    -- Only the error boxes are open over the run box outside step 5.
    if (GetWindowLong(sharedhWin, GWL_STYLE) & WS_DISABLED) ~= 0 then
      runbox_disabled_by_error_box = true
    end
  end
  if msg == WM_TIMER and lo == 1 then
    KillTimer(hWin, 1)
    SetTimer(hWin, 2, 30)
    local results = table.pack(runbox())
    KillTimer(hWin, 2)

    t.test("runbox gives no result", function() t.eq(results.n, 0) end)
    t.test("results are joined by tabs into the label", function()
      t.eq(after_error, "1\ta\tnil")   -- also: the syntax error kept the label
    end)
    t.test("code returning nothing clears the label", function()
      t.eq(after_nothing, "")
    end)
    t.test("sharedhWin is the run box, captioned Run lua code", function()
      t.eq(type(seen), "userdata")
      t.truthy(seen ~= hWin)
      t.eq(GetWindowText(seen), "")  -- the box has ended: its handle is stale
      t.eq(seen_caption, "Run lua code")
    end)
    t.test("a dialog opened from the run box is owned by it", function()
      t.eq(nested, "from nested")
      t.eq(owner_of_nested_disabled, true)
    end)
    t.test("error boxes are owned by the run box", function()
      t.eq(runbox_disabled_by_error_box, true)
    end)
    t.done()
  end
  return 0
end

SetTimer(hWin, 1, 50)
