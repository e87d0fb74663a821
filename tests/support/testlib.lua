-- Minimal test helper shared by every Lua test (host scripts and modules).
--   local t = require "testlib"
--   t.test("name", function() t.eq(1 + 1, 2) end)
--   t.done()          -- prints "N passed, N failed" and exits with the verdict
local M = { passed = 0, failed = 0 }

local function show(v)
  if type(v) == "string" then return string.format("%q", v) end
  if math.type(v) == "float" then return string.format("%.17g (float)", v) end
  return tostring(v)
end

local function fail(msg, level)
  error(msg, (level or 1) + 2)
end

function M.test(name, fn)
  local ok, err = xpcall(fn, debug.traceback)
  if ok then
    M.passed = M.passed + 1
  else
    M.failed = M.failed + 1
    io.write("FAIL ", name, ": ", tostring(err), "\n")
    io.flush()
  end
end

-- Equality that also tells integers from floats (3 ~= 3.0 here) unless loose.
function M.eq(got, want, what)
  if got ~= want or math.type(got) ~= math.type(want) then
    fail(string.format("%sexpected %s, got %s", what and (what .. ": ") or "", show(want), show(got)))
  end
end

function M.truthy(v, what)
  if not v then fail((what or "value") .. " is " .. show(v)) end
end

function M.falsy(v, what)
  if v then fail((what or "value") .. " is " .. show(v)) end
end

-- Counts and checks the values returned by a call: t.results({f(...)}, n)
function M.count(n, ...)
  local got = select("#", ...)
  if got ~= n then fail(string.format("expected %d results, got %d", n, got)) end
  return ...
end

-- fn must raise an error whose text contains `needle` (a plain substring).
function M.raises(fn, needle, ...)
  local ok, err = pcall(fn, ...)
  if ok then fail("expected an error containing " .. show(needle)) end
  err = tostring(err)
  if needle and not err:find(needle, 1, true) then
    fail(string.format("error %s does not contain %s", show(err), show(needle)))
  end
  return err
end

function M.summary()
  return string.format("%d passed, %d failed", M.passed, M.failed)
end

-- Host scripts only: runs fn from the first tick of a window timer on the
-- main window, once the message loop runs (modal dialogs need it), then
-- finishes the test. The script's dialog_callback is replaced.
function M.from_message_loop(fn)
  dialog_callback = function(w, msg, wp)
    if msg == WM_TIMER and wp == 9 then
      KillTimer(hWin, 9)
      fn()
      M.done()
    end
    return 0
  end
  SetTimer(hWin, 9, 50, nil)
end

-- Host scripts only: true when the process code page is UTF-8 (a manifest
-- opted in). A byte above 0x7F alone is then no character: window text
-- keeps it as U+FFFD.
function M.utf8_code_page()
  local probe = CreateWindow("static", "\xE9", WS_CHILD, 0, 0, 1, 1, hWin, 0, 0, 0)
  local utf8 = GetWindowText(probe) ~= "\xE9"
  DestroyWindow(probe)
  return utf8
end

-- Host scripts only: true when the visual-style common controls are active
-- (a manifest asked for them); only their buttons know BCM_GETIDEALSIZE.
function M.visual_styles()
  local probe = CreateWindow("button", "x", WS_CHILD, 0, 0, 1, 1, hWin, 0, 0, 0)
  local known = SendMessageString(probe, 0x1601, 0, nil) ~= 0
  DestroyWindow(probe)
  return known
end

function M.done()
  io.write(M.summary(), "\n")
  io.flush()
  os.exit(M.failed == 0 and M.passed > 0)
end

return M
