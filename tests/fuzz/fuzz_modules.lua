-- Argument fuzzer for the native modules: calls every function of one module
-- with random argument lists under pcall. A crash, a sanitizer report or a
-- broken invariant of the module's target fails the run; results and Lua
-- errors are the only acceptable outcomes.
--
--   FUZZ_MODULE=orbix|fsop|setvar   which module (or the script's first argument)
--   FUZZ_SEED=n      replay a run (the seed is printed first; default random)
--   FUZZ_TUPLES=n    argument tuples per function (default 60)
--   FUZZ_LONG=1      10,000 tuples per function unless FUZZ_TUPLES says otherwise
--   FUZZ_ONLY=name   fuzz only this function (the pool still behaves the same)
--   FUZZ_TRACE=1     print every call before it is made (to find a crashing tuple)
--   FUZZ_TRACE_FROM=n  the same from round n on
--   FUZZ_NAMES_FROM=n  from round n on, print only each called function's name
--                    (and "R" per round); it allocates nothing, so a fault that
--                    depends on the heap's layout still happens, and the full
--                    arguments come from a traced run of the same seed
--
-- Each round calls every function once, in a shuffled order, with either a
-- fully random list (0 to 12 values of any kind) or a list shaped like the
-- function's arguments with some positions replaced by random values.
local fv = require "fuzzvalues"

local module = arg and arg[1] or os.getenv("FUZZ_MODULE")
assert(module, "set FUZZ_MODULE to orbix, fsop or setvar")
local seed = fv.seed_from_env("FUZZ_SEED")
print(string.format("fuzz %s: seed %d (replay with FUZZ_SEED=%d)", module, seed, seed))
io.stdout:flush()

local tuples = math.tointeger(tonumber(os.getenv("FUZZ_TUPLES") or ""))
  or ((os.getenv("FUZZ_LONG") or "") ~= "" and 10000 or 60)
local only = os.getenv("FUZZ_ONLY")
local trace = (os.getenv("FUZZ_TRACE") or "") ~= ""
-- FUZZ_TRACE_FROM=n: trace from round n on (replaying a late failure).
local trace_from = math.tointeger(tonumber(os.getenv("FUZZ_TRACE_FROM") or ""))
local names_from = math.tointeger(tonumber(os.getenv("FUZZ_NAMES_FROM") or ""))
local names = false
-- Wall-clock seconds (os.time is all plain Lua has) after which a call counts
-- as blocking; legitimate work (2,000 wrapped lines of text) takes 4 s under ASan.
local slow_limit = tonumber(os.getenv("FUZZ_SLOW_SECONDS") or "") or 10

local target = require("fuzz_target_" .. module)
local rng = fv.rng(seed)
local ctx = target.setup(seed)
local gen = fv.new {
  seed = seed ~ 0x5DEECE66D,
  lengths = target.lengths,
  kinds = target.kinds,
  handles = target.handles,
  extras = target.extras,
  hook = target.hook,
}
target.gen = gen

local functions = {}
for _, f in ipairs(target.functions) do
  if not only or f.name == only then functions[#functions + 1] = f end
end
assert(#functions > 0, "no function to fuzz")

-- Finalisers of gc-trap values raise only while a binding runs: armed inside
-- the protected call, disarmed before anything else allocates.
local function disarm(...)
  fv.armed = false
  return ...
end
for _, f in ipairs(functions) do
  local fn = f.fn
  f.armed = function(...)
    fv.armed = true
    return fn(...)
  end
end

local stats = {}
for _, f in ipairs(functions) do stats[f.name] = { tried = 0, returned = 0, raised = 0, skipped = 0 } end
local problems = {}
local function problem(text)
  problems[#problems + 1] = text
  print("PROBLEM " .. text)
  io.stdout:flush()
end

local clock = os.clock
local calls = 0
local started = clock()

for round = 1, tuples do
  if trace_from and round == trace_from then trace = true end
  if names_from and round == names_from then
    names = true
    io.stdout:setvbuf("no")
  end
  if names then io.stdout:write("R\n") end
  -- Fisher-Yates with the replayable generator.
  local order = {}
  for i = 1, #functions do order[i] = functions[i] end
  for i = #order, 2, -1 do
    local j = rng:range(1, i)
    order[i], order[j] = order[j], order[i]
  end
  for _, f in ipairs(order) do
    local st = stats[f.name]
    local args
    if rng:chance(0.3) or not f.sig then args = gen:random_args() else args = gen:typed_args(f.sig) end
    if f.guard and f.guard(args) == false then
      st.skipped = st.skipped + 1
    else
      calls = calls + 1
      st.tried = st.tried + 1
      if names then io.stdout:write(f.name, "\n") end
      if trace then
        print(string.format("call %d round %d: %s(%s)", calls, round, f.name, fv.describe_args(args)))
        io.stdout:flush()
      end
      local t0 = os.time()
      local res = table.pack(disarm(pcall(f.armed, table.unpack(args, 1, args.n))))
      local dt = os.time() - t0
      if trace then
        -- The results name the handles a later call may be given.
        print("  -> " .. fv.describe_args(res))
        io.stdout:flush()
      end
      if res[1] then
        st.returned = st.returned + 1
        if target.adopt then target.adopt(f.name, res) end
      else
        st.raised = st.raised + 1
        if type(res[2]) ~= "string" then
          problem(string.format("%s raised a %s, not a message: %s(%s)", f.name, type(res[2]), f.name,
            fv.describe_args(args)))
        end
      end
      if dt >= slow_limit then
        problem(string.format("%s took %d s: %s(%s)", f.name, dt, f.name, fv.describe_args(args)))
      end
      if target.check then
        local bad = target.check(f.name, args, res)
        if bad then problem(string.format("%s: %s; call %s(%s)", f.name, bad, f.name, fv.describe_args(args))) end
      end
    end
    if target.tick then target.tick(calls) end
  end
  if tuples >= 1000 and round % 500 == 0 then
    print(string.format("round %d: %d calls, %.0f s", round, calls, clock() - started))
    io.stdout:flush()
  end
end

if target.finish then
  local bad = target.finish()
  if bad then problem("at the end: " .. bad) end
end

local total, returned, raised, least, never = 0, 0, 0, math.huge, {}
for _, f in ipairs(functions) do
  local st = stats[f.name]
  total, returned, raised = total + st.tried, returned + st.returned, raised + st.raised
  -- A function its guard always skips (the message box with a display) is
  -- named apart, so the per-function figure stays the one that was reached.
  if st.tried == 0 then never[#never + 1] = f.name elseif st.tried < least then least = st.tried end
  if trace or (os.getenv("FUZZ_VERBOSE") or "") ~= "" then
    print(string.format("  %-32s %6d tried %6d returned %6d raised %4d skipped", f.name, st.tried, st.returned,
      st.raised, st.skipped))
  end
end
print(string.format("fuzz %s: %d functions, %d rounds, %d calls (at least %d per function), %d returned, %d raised, "
  .. "%.1f s, %d problems, seed %d", module, #functions, tuples, total, least, returned, raised, clock() - started,
  #problems, seed))
if #never > 0 then print("never called (always skipped): " .. table.concat(never, ", ")) end
os.exit(#problems == 0 and 0 or 1)
