-- Message soak of the bridge: HSOAK_MESSAGES (default 100,000) messages
-- through dialog_callback, every tenth re-entering the callback with a nested
-- SendMessageInt, one in 5,000 raising (its error box is answered by uiwatch),
-- and a script dialog every 25,000. The Lua stack of the sending binding and
-- the Lua heap must be the same at the end as at the start.
local t = require "testlib"

local N = math.tointeger(tonumber(os.getenv("HSOAK_MESSAGES") or "")) or 100000
local PLAIN, RAISE, NEST, PROBE = 0x8001, 0x8002, 0x8003, 0x8004

-- Values the sending binding holds on the Lua stack, seen from the callback
-- (see bridge.lua): exactly SendMessageInt's four arguments.
local function temporaries_of_sender()
  local n = 0
  while debug.getlocal(3, n + 1) do n = n + 1 end
  return n
end

local probes, dialog_messages, errors_seen = {}, 0, 0
local calls, expected_calls = 0, 0  -- callback runs for PLAIN, NEST and RAISE on hWin

local function run()
  -- A dialog's procedure result reaches SendMessage only for a few messages,
  -- so the soak counts the callback's runs instead of reading answers.
  local function send(i)
    if i % 5000 == 0 then
      errors_seen = errors_seen + 1
      expected_calls = expected_calls + 1
      return SendMessageInt(hWin, RAISE, i, 0)
    elseif i % 10 == 0 then
      expected_calls = expected_calls + 2
      return SendMessageInt(hWin, NEST, i, 0)
    end
    expected_calls = expected_calls + 1
    return SendMessageInt(hWin, PLAIN, i, 0)
  end

  for i = 1, 1000 do send(i) end  -- warm up: the callback's closures and strings exist
  SendMessageInt(hWin, PROBE, 0, 0)
  collectgarbage("collect")
  collectgarbage("collect")
  local heap0 = collectgarbage("count")

  calls, expected_calls = 0, 0
  local t0 = os.clock()
  for i = 1, N do
    send(i)
    if i % 25000 == 0 then
      NewDialog(function()
        SendMessageInt(dialog_hwin, PLAIN, 1, 0)
        EndDialog(dialog_hwin, 0)
      end)
      SendMessageInt(hWin, PROBE, 0, 0)
    end
  end
  local dt = os.clock() - t0
  SendMessageInt(hWin, PROBE, 0, 0)
  collectgarbage("collect")
  collectgarbage("collect")
  local heap1 = collectgarbage("count")

  io.write(string.format("soak: %d messages (+%d nested, %d raising, %d script dialogs) in %.2f s\n",
    N, N // 10, errors_seen, N // 25000, dt))
  io.write(string.format("soak: Lua heap %.1f KiB before, %.1f KiB after; sender stack %s\n",
    heap0, heap1, table.concat(probes, " ")))

  t.test("every message, nested or raising, ran the callback once", function()
    t.eq(calls, expected_calls)
  end)
  t.test("the sending binding's stack is the same after every stretch", function()
    t.truthy(#probes >= 2)
    for i, n in ipairs(probes) do t.eq(n, 4, "probe " .. i) end
  end)
  t.test("the Lua heap stays flat", function()
    t.truthy(heap1 - heap0 < 64, string.format("heap grew by %.1f KiB", heap1 - heap0))
  end)
  t.test("an error in a callback leaves the collector as the script had it", function()
    t.eq(collectgarbage("isrunning"), true, "running after the raising messages")
    collectgarbage("stop")
    SendMessageInt(hWin, RAISE, 1, 0)
    t.eq(collectgarbage("isrunning"), false, "a stopped collector stays stopped")
    collectgarbage("restart")
  end)
  t.test("script dialogs reached the callback", function()
    t.eq(dialog_messages >= N // 25000, true)
  end)
  t.done()
end

dialog_callback = function(w, msg, wp)
  if msg == PLAIN then
    if w ~= hWin then dialog_messages = dialog_messages + 1 else calls = calls + 1 end
    return wp % 3
  elseif msg == NEST then
    calls = calls + 1
    return SendMessageInt(w, PLAIN, wp, 0) + 1
  elseif msg == RAISE then
    calls = calls + 1
    error("soak failure " .. wp)
  elseif msg == PROBE then
    probes[#probes + 1] = temporaries_of_sender()
  elseif msg == WM_TIMER and wp == 1 then
    KillTimer(hWin, 1)
    run()
  end
  return 0
end
SetTimer(hWin, 1, 10, nil)
