-- Command line, directories, last error, directory listing, shell execution
-- and the clipboard. The program runs with the arguments: a "b c" <uiwatch>.
local t = require "testlib"

local SW_HIDE = 0

t.test("Command splits the command line the way the C runtime does", function()
  t.eq(Command(1), "a")
  t.eq(Command(2), "b c")
  t.eq(Command(-1):match("^a b c "), "a b c ")  -- then the helper's path
  t.eq(Command(-7), Command(-1))
  t.truthy(Command(0):lower():match("scripthost%.exe$"), "program name " .. Command(0))
  t.eq(Command(4), "")
  t.eq(Command(1000), "")
  t.eq(Command(1 << 32 | 1), "a", "index cut to 32 bits")
  t.truthy(GetCommandLine():find('"b c"', 1, true), "quotes kept in " .. GetCommandLine())
  t.raises(function() Command("x") end, "number expected")
end)

local home = exepath()

t.test("exepath is the program's folder without a trailing backslash", function()
  t.truthy(home:match("^%a:\\.+[^\\]$"), home)
  local f = io.open(home .. "\\init.lua")
  t.truthy(f, "init.lua beside the program")
  f:close()
end)

t.test("current directory: set, read back with a float count", function()
  t.eq(SetCurrentDirectory(home), true)
  local dir, n = GetCurrentDirectory()
  t.eq(dir:lower(), home:lower())
  t.eq(n, #dir + 0.0)
  t.eq(math.type(n), "float")
end)

t.test("GetLastError after a failing call", function()
  t.eq(SetCurrentDirectory(home .. "\\no such folder\\deeper"), false)
  local code = GetLastError()
  t.truthy(code == 2 or code == 3, "file or path not found, got " .. code)
  t.eq(GetCurrentDirectory():lower(), home:lower())
end)

-- Folder contents for the listing: names by attribute.
local function make(name, attrib)
  local f = assert(io.open(name, "w"))
  f:write("x")
  f:close()
  if attrib then os.execute("attrib " .. attrib .. " " .. name) end
end
os.execute("mkdir sub")
os.execute("mkdir hiddendir && attrib +h hiddendir")
make("plain.txt")
make("readonly.txt", "+r")
make("hidden.txt", "+h")
make("data.bin")

local function listing(...)
  local names = {}
  local name = Dir(...)
  while name ~= "" do
    names[#names + 1] = name
    name = Dir()
  end
  table.sort(names)
  return table.concat(names, " ")
end

t.test("Dir *.* skips hidden files and directories", function()
  local all = listing("*.*")
  t.eq(listing("*.*"), all, "a new pattern starts over")
  for _, want in ipairs { "data.bin", "plain.txt", "readonly.txt", "init.lua" } do
    t.truthy((" " .. all .. " "):find(" " .. want .. " ", 1, true), want .. " in " .. all)
  end
  for _, unwanted in ipairs { "hidden.txt", "sub", "hiddendir", "%.", "%.%." } do
    t.falsy((" " .. all .. " "):find(" " .. unwanted .. " "), unwanted .. " in " .. all)
  end
end)

t.test("Dir * with the directory mask gives plain directories only", function()
  local dirs = listing("*", 0x10)
  t.eq(dirs, ". .. sub")
  t.eq(listing("*", 0x10 + 0.4), ". .. sub", "mask rounded")
  t.eq(listing("*", 0x12), ". .. hiddendir sub")
end)

t.test("Dir with the hidden bit finds hidden files too", function()
  local names = " " .. listing("*.txt", 0x02) .. " "
  t.truthy(names:find(" hidden.txt ", 1, true), names)
  t.truthy(names:find(" plain.txt ", 1, true), names)
  t.falsy(names:find(" readonly.txt ", 1, true), "read-only is not in 0x02|archive")
end)

t.test("Dir continues one search and ends it", function()
  local first = Dir("*.txt")
  t.truthy(first:match("%.txt$"), first)
  local second = Dir("")  -- an empty pattern continues as well
  t.truthy(second:match("%.txt$") and second ~= first, second)
  t.eq(Dir(), "")      -- plain and readonly, then the search has run out
  t.eq(Dir(), "", "nothing open")
  t.eq(Dir("nothing*matches"), "")
  t.eq(Dir(), "")
end)

t.test("Dir takes 0 through 2 arguments", function()
  t.raises(function() Dir("*", 0, 0) end, "dir - 0 through 2 args")
  t.raises(function() Dir({}) end, "string expected")
end)

t.test("clipboard text round trip", function()
  -- "é" in the process code page: one byte in the ANSI one, two in UTF-8.
  local text = t.utf8_code_page() and "caf\xc3\xa9 one\r\ntwo" or "caf\xe9 one\r\ntwo"
  local h = SetClipboardText(text, hWin)
  t.eq(type(h), "userdata")
  t.eq(GetClipboardText(), text)
  t.truthy(SetClipboardText("cut\0here", hWin))
  t.eq(GetClipboardText(), "cut")
  t.truthy(SetClipboardText("", hWin))
  t.eq(GetClipboardText(), "")
end)

-- The rest waits for programs started with ShellExecute; the timer polls.
local helper = Command(3)
local started = {}
t.test("ShellExecute starts a program that leaves a file behind", function()
  os.remove("left.txt")
  local r = ShellExecute(hWin, "open", "cmd.exe", "/c echo done> left.txt", home, SW_HIDE)
  t.eq(math.type(r), "integer")
  t.truthy(r > 32, "result " .. r)
  t.truthy(ShellExecute(hWin, "open", home .. "\\no-such-program.exe", "", "", SW_HIDE) <= 32)
end)

local phase, ticks = "left", 0
dialog_callback = function(w, msg, wp)
  if msg ~= WM_TIMER or wp ~= 7 then return 0 end
  ticks = ticks + 1
  if phase == "left" then
    local f = io.open(home .. "\\left.txt")
    local text = f and f:read("a")
    if f then f:close() end
    if text and text:match("done") then
      phase = "raw"
      t.eq(ShellExecute(hWin, "", helper, "--clipboard-raw unterminated", "", SW_HIDE) > 32, true)
      ticks = 0
    end
  elseif phase == "raw" then
    local text = GetClipboardText()
    -- Known Wine difference: text that crosses processes is stored as a
    -- string, so Wine puts a zero into the block's last byte and one letter
    -- is lost. Windows hands the block over as it is.
    if text == "unterminated" or text == "unterminate" then
      phase = "bitmap"
      if text == "unterminate" then
        print("SKIP block end: Wine terminates clipboard text inside its block")
      end
      t.test("a text without its closing zero is read up to the block's end", function() end)
      t.eq(ShellExecute(hWin, "", helper, "--clipboard-bitmap", "", SW_HIDE) > 32, true)
      ticks = 0
    end
  elseif phase == "bitmap" then
    if select("#", GetClipboardText()) == 0 then
      t.test("no text on the clipboard: no result", function() end)
      phase = "done"
    end
  end
  if phase == "done" or ticks > 300 then  -- 30 s for the helper programs, on a loaded machine
    KillTimer(hWin, 7)
    if phase ~= "done" then
      t.test("helper programs finished", function() error("stuck in phase " .. phase) end)
    end
    t.done()
  end
  return 0
end
SetTimer(hWin, 7, 100, nil)
