-- The finished app of docs/getting-started.md, taken from the page itself,
-- does what the page says: Add puts the typed item into the list and empties
-- the field, an empty field is refused with a box, a double click asks and
-- removes the item, and the close box ends the program.
local t = require "testlib"

local page = assert(io.open(Command(1), "rb"), "the page is passed as argument 1"):read("a")
local code = page:match("```lua\n(%-%- init%.lua: the whole app\n.-)```")
assert(code, "the page holds the whole app")
assert(load(code, "=getting-started.md", "t"))()
local app_callback = dialog_callback

local ID_ADD, ID_LIST = 101, 102
local name, list = ChildWindowFromPoint(hWin, 100, 20), ChildWindowFromPoint(hWin, 100, 100)

local function count() return SendMessageInt(list, LB_GETCOUNT, 0, 0) end
local function item(i) local _, text = SendMessageString(list, LB_GETTEXT, i); return text end

t.test("the page's app builds its controls", function()
  t.eq(GetWindowText(hWin), "Shopping list")
  t.truthy(Ptr2Int(name) ~= Ptr2Int(hWin) and Ptr2Int(list) ~= Ptr2Int(hWin), "the field and the list are there")
  t.eq(count(), 0)
end)

t.from_message_loop(function()
  dialog_callback = app_callback
  t.test("Add puts the typed item into the list and empties the field", function()
    SetWindowText(name, "Milk")
    SendMessageInt(hWin, WM_COMMAND, ID_ADD, 0)
    SetWindowText(name, "Bread")
    SendMessageInt(hWin, WM_COMMAND, ID_ADD, 0)
    t.eq(count(), 2)
    t.eq(item(0), "Milk")
    t.eq(item(1), "Bread")
    t.eq(GetWindowText(name), "")
  end)
  t.test("an empty field is refused with a box (answered by uiwatch)", function()
    SendMessageInt(hWin, WM_COMMAND, ID_ADD, 0)
    t.eq(count(), 2)
  end)
  t.test("a double click asks and removes the item (uiwatch answers Yes)", function()
    SendMessageInt(list, LB_SETCURSEL, 0, 0)
    SendMessageInt(hWin, WM_COMMAND, ID_LIST | (LBN_DBLCLK << 16), 0)
    t.eq(count(), 1)
    t.eq(item(0), "Bread")
  end)
  io.write(t.summary(), "\n")
  io.flush()
  if t.failed > 0 then os.exit(1) end
  -- The page's callback ends the program on WM_CLOSE with exit code 0.
  SendMessageInt(hWin, WM_CLOSE, 0, 0)
  io.write("WM_CLOSE did not end the program\n")
  os.exit(1)
end)
