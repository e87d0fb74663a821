-- The frame-rate manager: accepted and refused rates, and how closely
-- framerateDelay paces a loop.
local t = require "testlib"
local orbix = require "orbix"

assert(orbix.Init(orbix.INIT_TIMER) == 0, orbix.GetError())

-- Milliseconds that `frames` calls of framerateDelay take, and the largest
-- value one call returned.
local function run(m, frames)
  orbix.framerateDelay(m)  -- start the measured stretch on a frame boundary
  local start = orbix.GetTicks()
  local largest = 0
  for _ = 1, frames do
    local ms = orbix.framerateDelay(m)
    t.eq(math.type(ms), "integer")
    t.truthy(ms >= 0, "never negative: " .. ms)
    if ms > largest then largest = ms end
  end
  return orbix.GetTicks() - start, largest
end

-- A loaded machine can oversleep any single frame, so a measurement gets
-- three tries: a manager that paces at the wrong rate misses all of them.
local function paced(m, frames, want, what)
  local got
  for _ = 1, 3 do
    got = run(m, frames)
    if math.abs(got - want) <= want * 0.05 then return end
  end
  t.truthy(false, string.format("%s: %d ms, expected %d ms +-5%%", what, got, want))
end

t.test("a manager paces a loop at its rate", function()
  local m = orbix.initFramerate()
  t.eq(getmetatable(m).__name, "orbix_frameratemanager")
  t.eq(orbix.setFramerate(m, 50), 0)
  paced(m, 50, 1000, "50 frames at 50 per second")
  t.eq(orbix.setFramerate(m, 25), 0)
  paced(m, 20, 800, "20 frames at 25 per second")
end)

t.test("the default rate is 30 per second", function()
  paced(orbix.initFramerate(), 15, 500, "15 frames at the default rate")
end)

t.test("rates outside 1..200 are refused and leave the rate alone", function()
  local m = orbix.initFramerate()
  t.eq(orbix.setFramerate(m, 40), 0)
  t.eq(orbix.setFramerate(m, 0), -1)
  t.eq(orbix.setFramerate(m, 201), -1)
  t.eq(orbix.setFramerate(m, -1), -1, "-1 is a huge unsigned rate")
  paced(m, 20, 500, "still 40 per second")
  t.eq(orbix.setFramerate(m, 60), 0)
  t.eq(orbix.setFramerate(m, 1), 0)
  t.eq(orbix.setFramerate(m, 200), 0)
end)

t.test("a late frame reports the time it took and the loop catches up", function()
  local m = orbix.initFramerate()
  t.eq(orbix.setFramerate(m, 50), 0)
  orbix.framerateDelay(m)
  orbix.Delay(60)
  local ms = orbix.framerateDelay(m)
  t.truthy(ms >= 60 and ms < 200, "late frame: " .. ms)
  paced(m, 20, 400, "back at 50 per second")
end)

t.test("manager arguments are checked; managers are collected", function()
  local m = orbix.initFramerate()
  t.raises(function() orbix.setFramerate(m) end, "bad argument #2")
  t.raises(function() orbix.setFramerate(nil, 30) end, "orbix_frameratemanager")
  t.raises(function() orbix.framerateDelay({}) end, "orbix_frameratemanager")
  for _ = 1, 50 do orbix.initFramerate() end
  collectgarbage()
  collectgarbage()
end)

t.done()
