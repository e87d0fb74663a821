-- Sends N messages to the host's own main window through dialog_callback and
-- prints the rate (messages per second).
local n = tonumber(os.getenv("BENCH_MESSAGES")) or 200000
local seen = 0
dialog_callback = function(w, msg, wp, lp)
  if msg == 0x8001 then seen = seen + wp + lp end
  return 0
end
local t0 = os.clock()
for i = 0, n - 1 do SendMessageInt(hWin, 0x8001, i, 1) end
local dt = os.clock() - t0
io.write(string.format("%.0f\n", n / dt))
io.flush()
os.exit(0)
