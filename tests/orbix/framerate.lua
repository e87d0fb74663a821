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

local function near(got, want, tolerance, what)
  t.truthy(math.abs(got - want) <= want * tolerance,
           string.format("%s: %d ms, expected %d ms +-%d%%", what, got, want, tolerance * 100))
end

t.test("a manager paces a loop at its rate", function()
  local m = orbix.initFramerate()
  t.eq(getmetatable(m).__name, "orbix_frameratemanager")
  t.eq(orbix.setFramerate(m, 50), 0)
  near(run(m, 50), 1000, 0.05, "50 frames at 50 per second")
  t.eq(orbix.setFramerate(m, 200), 0)
  near(run(m, 100), 500, 0.05, "100 frames at 200 per second")
end)

t.test("the default rate is 30 per second", function()
  near(run(orbix.initFramerate(), 15), 500, 0.05, "15 frames at the default rate")
end)

t.test("rates outside 1..200 are refused and leave the rate alone", function()
  local m = orbix.initFramerate()
  t.eq(orbix.setFramerate(m, 100), 0)
  t.eq(orbix.setFramerate(m, 0), -1)
  t.eq(orbix.setFramerate(m, 201), -1)
  t.eq(orbix.setFramerate(m, -1), -1, "-1 is a huge unsigned rate")
  near(run(m, 40), 400, 0.05, "still 100 per second")
  t.eq(orbix.setFramerate(m, 60), 0)
  t.eq(orbix.setFramerate(m, 1), 0)
  t.eq(orbix.setFramerate(m, 200), 0)
end)

t.test("a late frame reports the time it took and the loop catches up", function()
  local m = orbix.initFramerate()
  t.eq(orbix.setFramerate(m, 100), 0)
  orbix.framerateDelay(m)
  orbix.Delay(60)
  local ms = orbix.framerateDelay(m)
  t.truthy(ms >= 60 and ms < 200, "late frame: " .. ms)
  near(run(m, 30), 300, 0.08, "back at 100 per second")
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
