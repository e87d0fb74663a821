-- Font and colour dialogs driven by uiwatch (steps in shell.cmake, in order).
local t = require "testlib"

local function keys(tbl)
  local list = {}
  for k in pairs(tbl) do list[#list + 1] = k end
  table.sort(list)
  return table.concat(list, " ")
end

local function run()
  t.test("ChooseFont opens with the given font and returns it", function()
    -- Known Wine difference: its font dialog lists installed fonts only and
    -- there is no Arial here; DejaVu Sans stands in for it.
    local f = ChooseFont { facename = "DejaVu Sans", height = -16, bold = true, italic = true,
                           rgbColors = 0x0000FF }
    t.eq(f.facename, "DejaVu Sans")
    t.eq(f.height, -16)
    t.eq(f.bold, true)
    t.eq(f.italic, true)
    t.eq(f.rgbColors, 0x0000FF)
    t.eq(keys(f), "bold facename height italic rgbColors")
  end)

  t.test("flags that are not set are absent, never false", function()
    local f = ChooseFont { facename = "DejaVu Serif", height = -20, bold = false }
    t.eq(f.facename, "DejaVu Serif")
    t.eq(f.height, -20)
    t.eq(keys(f), "facename height rgbColors")
    -- Known Wine difference: the dialog offers only regular and bold
    -- weights, so a weight of 600 cannot be chosen.
    print("SKIP ChooseFont weight 600: Wine offers no semibold style")
  end)

  t.test("ChooseFont cancelled gives nothing", function()
    t.count(0, ChooseFont())
  end)

  t.test("ChooseFont argument errors point at the missing field", function()
    t.raises(function() ChooseFont {} end, "bad argument #2 to 'ChooseFont'")
    t.raises(function() ChooseFont { facename = "DejaVu Sans" } end,
             "bad argument #3 to 'ChooseFont'")
    t.raises(function() ChooseFont(12) end, "table expected")
  end)

  t.test("ChooseColor returns the colour it opened with; a custom colour is kept", function()
    t.eq(ChooseColor(0x0000FF), 0x0000FF)   -- and "Add to Custom Colors"
    t.eq(ChooseColor(), 0x0000FF)           -- picked from the custom colours
  end)

  t.test("ChooseColor cancelled gives nothing", function()
    t.count(0, ChooseColor(0x00FF00))
  end)
end

t.from_message_loop(run)
