-- Random Lua values for the binding fuzzers.
--
--   local fv = require "fuzzvalues"
--   local g = fv.new{ seed = 42, lengths = {255, 256}, kinds = {...}, handles = fn, hook = fn }
--   local args = g:random_args()          -- 0 to 12 values of any kind, args.n set
--   local args = g:typed_args{"i", "s"}   -- one value per kind, some mutated
--   f(table.unpack(args, 1, args.n))
--
-- The generator keeps its own xorshift state, so a seed gives the same values
-- on every platform and interpreter (math.random is the C library's).
--
-- Options:
--   seed      integer; the one number needed to replay a run
--   lengths   extra string lengths: each gives a string of exactly that many
--             bytes, so callers list a buffer's limit and one past it
--   kinds     table kind -> function(g) returning a value, for argument kinds
--             the caller knows (handles of a module, file names, ...)
--   handles   function() -> list of values the caller wants mixed into random
--             arguments (live and released handles of every type)
--   extras    list of further values (a null light userdata, foreign objects)
--   hook      function called from inside the metamethods of "trap" tables,
--             so a binding reading such a table runs arbitrary script code
--             (releasing objects, collecting) half-way through its work
local M = {}

-- --- random numbers ---------------------------------------------------------

local Rng = {}
Rng.__index = Rng

function M.rng(seed)
  local s = (math.tointeger(seed) or 1) ~ 0x2545F4914F6CDD1D
  if s == 0 then s = 1 end
  return setmetatable({ s = s }, Rng)
end

-- xorshift64*; `>>` is a logical shift in Lua 5.3.
function Rng:next()
  local x = self.s
  x = x ~ (x >> 12)
  x = x ~ (x << 25)
  x = x ~ (x >> 27)
  self.s = x
  return x * 0x2545F4914F6CDD1D
end

function Rng:below(n) return (self:next() >> 11) % n end
function Rng:range(a, b) return a + self:below(b - a + 1) end
function Rng:pick(list) return list[self:below(#list) + 1] end
function Rng:chance(p) return self:below(1 << 20) < p * (1 << 20) end

-- A seed from the environment variable `name`, or a fresh one.
function M.seed_from_env(name)
  local s = os.getenv(name)
  if s and s ~= "" then return assert(math.tointeger(tonumber(s)), name .. " must be an integer") end
  local t = os.time() * 1000003 + math.floor(os.clock() * 1e6)
  local probe = {}
  local addr = tonumber(tostring(probe):match("0x(%x+)") or "0", 16) or 0
  return (t ~ addr) & 0x7FFFFFFF
end

-- --- fixed value sets -------------------------------------------------------

M.integers = {
  0, 1, -1, 2, 255, 256, -32769, 32767, 32768, 65535, 65536,
  1 << 31, -(1 << 31), (1 << 31) - 1, 0xFFFFFFFF, 1 << 32,
  math.maxinteger, math.mininteger,
}

M.floats = {
  0.5, -1.5, 0 / 0, 1 / 0, -1 / 0, 1e300, -1e300, -0.0, 1e-300,
  2.0 ^ 63, -(2.0 ^ 63), 2.0 ^ 31, 4294967295.0, 10.0, 3.75,
}

local base_strings = {
  "", "a", "\0", "a\0b", "1\0", "128", "0x10", " 42 ", "1e999", "-2147483649", "nan", "0.5",
  "%s%s%n%d", "\255\254\253", "Gr\195\188\195\159e \226\156\147", "\n\r\t", "=", "A=B=C",
}

local default_lengths = { 31, 32, 254, 255, 256, 259, 260, 261, 4095, 4096, 4097 }

-- --- the generator ----------------------------------------------------------

local G = {}
G.__index = G

function M.new(opts)
  opts = opts or {}
  local g = setmetatable({}, G)
  g.rng = M.rng(opts.seed or 1)
  g.kinds = opts.kinds or {}
  g.handles = opts.handles or function() return {} end
  g.extras = opts.extras or {}
  g.hook = opts.hook or function() end
  g.strings = {}
  for _, s in ipairs(base_strings) do g.strings[#g.strings + 1] = s end
  local lengths = {}
  for _, n in ipairs(default_lengths) do lengths[#lengths + 1] = n end
  for _, n in ipairs(opts.lengths or {}) do lengths[#lengths + 1] = n end
  for _, n in ipairs(lengths) do
    g.strings[#g.strings + 1] = string.rep("x", n)
    -- the same length with a zero byte in the middle: C sees a short text
    if n > 2 then g.strings[#g.strings + 1] = string.rep("y", n // 2) .. "\0" .. string.rep("z", n - n // 2 - 1) end
  end
  g.tables = g:make_tables()
  return g
end

function G:integer()
  local r = self.rng
  local c = r:below(10)
  if c < 5 then return r:pick(M.integers) end
  if c < 8 then return r:range(-4, 300) end
  return r:next()  -- any 64-bit pattern
end

function G:float()
  local r = self.rng
  if r:chance(0.7) then return r:pick(M.floats) end
  return (r:range(-100000, 100000)) / 64.0
end

function G:number()
  if self.rng:chance(0.6) then return self:integer() end
  return self:float()
end

function G:string() return self.rng:pick(self.strings) end

-- An integer-ish argument: mostly integers, sometimes the other forms the
-- Lua API converts (integral floats, numeric strings), sometimes not.
function G:int_like()
  local r = self.rng
  local c = r:below(10)
  if c < 7 then return self:integer() end
  if c == 7 then return r:range(-3, 300) + 0.0 end
  if c == 8 then return tostring(r:range(-3, 300)) end
  return self:float()
end

local function trap(hook, n)
  -- A table-like value whose every read runs script code first.
  return setmetatable({}, {
    __index = function(_, k)
      hook()
      if math.type(k) == "integer" then return k * 37 % 300 end
      return nil
    end,
    __len = function()
      hook()
      return n
    end,
  })
end

function G:make_tables()
  local hook = function() self.hook() end
  local nan, inf = 0 / 0, 1 / 0
  local self_ref = {}
  self_ref[1] = self_ref
  local many = {}
  for i = 1, 300 do many[i] = { i, i * 2, i * 3, 255 } end
  local long = {}
  for i = 1, 1000 do long[i] = i end
  return {
    {}, { {}, { {} } }, { { 1, 2, { 3 } }, {} }, self_ref, many, long,
    { 0, 0, 10, 10 }, { 5, 5, 20, 20 }, { -1, -1, -1, -1 }, { 1, 2 }, { 1 },
    { nan, inf, -inf, 1e300 }, { "1", "2", "x", {} }, { 1 << 31, -(1 << 31), 1 << 32, math.mininteger },
    { x = 1, y = 2, w = 3, h = 4 }, { [0] = 9, [5] = 9 }, { 0.5, -1.5, 2.5, 1e-300 },
    { 255, 0, 0, 255 }, { 256, -1, 0.5, "128" }, { math.maxinteger, math.mininteger, nan, "ff" },
    setmetatable({}, { __index = function() error("index trap") end }),
    setmetatable({}, { __len = function() error("len trap") end }),
    setmetatable({}, { __len = function() return 1e300 end }),
    setmetatable({}, { __len = function() return -5 end }),
    setmetatable({}, { __len = function() return "x" end }),
    setmetatable({}, { __len = function() return math.maxinteger end }),
    setmetatable({ 1, 2, 3, 4 }, { __index = function() return {} end, __len = function() return 4 end }),
    setmetatable({}, { __index = function(_, k) return tostring(k) end }),
    setmetatable({}, { __metatable = "locked" }),
    trap(hook, 4), trap(hook, 300), trap(hook, 2),
  }
end

function G:table() return self.rng:pick(self.tables) end

-- A fresh table whose finaliser raises while `M.armed` is true. The drivers
-- arm it only around the call of a binding, so a collection that a binding's
-- own allocation starts raises a Lua error in the middle of that binding.
M.armed = false
function M.gc_trap()
  return setmetatable({}, { __gc = function()
    if M.armed then error("gc trap") end
  end })
end

-- Rect, point and color tables: mostly plausible, sometimes strange.
function G:rect()
  local r = self.rng
  if r:chance(0.6) then return { r:range(-10, 80), r:range(-10, 80), r:range(-5, 80), r:range(-5, 80) } end
  if r:chance(0.5) then return { self:number(), self:number(), self:number(), self:number() } end
  return self:table()
end

function G:point()
  local r = self.rng
  if r:chance(0.6) then return { r:range(-10, 80), r:range(-10, 80) } end
  return self:rect()
end

function G:color()
  local r = self.rng
  if r:chance(0.6) then return { r:range(0, 255), r:range(0, 255), r:range(0, 255), r:range(0, 255) } end
  if r:chance(0.5) then return { self:number(), self:int_like(), self:number(), self:int_like() } end
  return self:table()
end

local functions = {
  function() end,
  function() error("function argument called") end,
  print,
}

-- Any value at all.
function G:any()
  local r = self.rng
  local c = r:below(100)
  if c < 8 then return nil end
  if c < 12 then return r:below(2) == 0 end
  if c < 30 then return self:integer() end
  if c < 40 then return self:float() end
  if c < 55 then return self:string() end
  if c < 67 then return self:table() end
  if c < 70 then return r:pick(functions) end
  if c < 74 and #self.extras > 0 then return r:pick(self.extras) end
  if c < 77 then return r:pick({ io.stdout, coroutine.create(function() end) }) end
  if c < 79 then return M.gc_trap() end
  local hs = self.handles()
  if #hs > 0 then return r:pick(hs) end
  return self:integer()
end

local builtin = {
  any = G.any, i = G.int_like, n = G.number, s = G.string, r = G.rect, p = G.point, c = G.color,
  t = G.table, b = G.any,
}

-- A value of `kind`: the caller's kinds first, then the built-in ones.
function G:of(kind)
  local f = self.kinds[kind]
  if f then return f(self) end
  f = builtin[kind]
  if f then return f(self) end
  error("fuzzvalues: unknown kind " .. tostring(kind))
end

function G:random_args()
  local n = self.rng:range(0, 12)
  local args = { n = n }
  for i = 1, n do args[i] = self:any() end
  return args
end

-- One value per kind of `signature`; each position is replaced by any value
-- with probability `mutate` (default 0.15), and the list is sometimes cut
-- short or extended, so checks of every position get exercised.
function G:typed_args(signature, mutate)
  local r = self.rng
  mutate = mutate or 0.15
  local n = #signature
  if r:chance(0.1) then n = r:range(0, n) end
  local args = { n = n }
  for i = 1, n do
    if r:chance(mutate) then args[i] = self:any() else args[i] = self:of(signature[i]) end
  end
  if r:chance(0.1) then
    for _ = 1, r:range(1, 3) do
      args.n = args.n + 1
      args[args.n] = self:any()
    end
  end
  return args
end

-- A short printable description of a value, for traces and failure reports.
function M.describe(v)
  local t = type(v)
  if t == "string" then
    if #v > 40 then return string.format("<string %d bytes%s>", #v, v:find("\0", 1, true) and ", with \\0" or "") end
    return string.format("%q", v):gsub("\n", "n")
  end
  if t == "number" then
    if math.type(v) == "float" then return string.format("%.17g", v) end
    return tostring(v)
  end
  if t == "table" then
    local mt = getmetatable(v)
    local parts = {}
    for i = 1, 4 do
      local raw = rawget(v, i)
      if raw == nil then break end
      parts[#parts + 1] = type(raw) == "table" and "{..}" or M.describe(raw)
    end
    return "{" .. table.concat(parts, ",") .. (rawlen(v) > 4 and ",..#" .. rawlen(v) or "") .. "}" ..
        (mt and "+mt" or "")
  end
  if t == "userdata" then
    local mt = getmetatable(v)
    local name = type(mt) == "table" and rawget(mt, "__name") or nil
    local addr = tostring(v):match("0x%x+") or ""
    return "<" .. (name or "userdata") .. " " .. addr .. ">"
  end
  return "<" .. t .. ">"
end

function M.describe_args(args)
  local out = {}
  for i = 1, args.n do out[i] = M.describe(args[i]) end
  return table.concat(out, ", ")
end

return M
