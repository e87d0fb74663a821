-- The LuaLS addon read the way the language server reads it, for what we can
-- check without the server: the annotations agree with the functions they
-- describe, every type they name exists, every reference points at a docs
-- section, and config.json is well-formed with patterns that recognise this
-- runtime's scripts and nothing else.
--
--   lua5.3 definitions.lua SOURCE_ROOT
local t = require "testlib"
local root = assert(arg[1], "usage: definitions.lua SOURCE_ROOT")
package.path = root .. "/tools/types/?.lua;" .. package.path
local md = require "markdown"

local function read(path)
  local f = assert(io.open(path, "rb"), "cannot read " .. path)
  local s = f:read("a")
  f:close()
  return s
end

local LIB = root .. "/types/luals/library/"
local FILES = { "scripthost.lua", "orbix.lua", "lua_fsop.lua", "setvar.lua" }

local BUILTIN = {
  ["nil"] = true, any = true, boolean = true, string = true, number = true, integer = true,
  ["function"] = true, table = true, thread = true, userdata = true, lightuserdata = true,
  ["true"] = true, ["false"] = true,
}

-- The names a type expression refers to: "orbix.Rect?", "HWND|nil",
-- "scripthost.Accel[]", "fun(a: integer): string" ...
local function type_names(expr)
  local names = {}
  expr = expr:gsub("fun%b()", "function"):gsub("%b{}", "table")
  for name in expr:gmatch("[%a_][%w_%.]*") do names[#names + 1] = name end
  return names
end

-- Each definition file as blocks: the annotation lines that precede a
-- function, a global or a class.
local function blocks(text)
  local out, doc = {}, {}
  for line in (text .. "\n"):gmatch("(.-)\n") do
    if line:match("^%-%-%-") then
      doc[#doc + 1] = line
    else
      if line:match("^function ") or line:match("^local function ") then
        out[#out + 1] = { doc = doc, line = line }
      end
      if not line:match("^%s*$") then doc = {} elseif #doc > 0 and doc[#doc]:match("^%-%-%-@class") then doc = {} end
    end
  end
  return out
end

local defined = {}
local sources = {}
for _, f in ipairs(FILES) do
  sources[f] = read(LIB .. f)
  for name in sources[f]:gmatch("%-%-%-@class ([%w_%.]+)") do defined[name] = true end
  for name in sources[f]:gmatch("%-%-%-@alias ([%w_%.]+)") do defined[name] = true end
end

t.test("every function's @param annotations name its arguments, in order", function()
  local count = 0
  for _, f in ipairs(FILES) do
    for _, b in ipairs(blocks(sources[f])) do
      local name, args = b.line:match("function ([%w_%.]+)%((.-)%)")
      t.truthy(name, f .. ": " .. b.line)
      local documented = {}
      for _, d in ipairs(b.doc) do
        local p = d:match("^%-%-%-@param ([%w_%.]+)%??%s")
        if p then documented[#documented + 1] = p end
      end
      t.eq(table.concat(documented, ", "), args, f .. ": parameters of " .. name)
      count = count + 1
    end
  end
  -- 118 host functions and dialog_callback, 110 orbix, 6 lua_fsop, setvar.
  t.eq(count, 236, "functions defined")
end)

t.test("every type an annotation names is built in or defined by the addon", function()
  for _, f in ipairs(FILES) do
    for line in sources[f]:gmatch("[^\n]+") do
      local expr = line:match("^%-%-%-@param [%w_%.]+%??%s+(%S+)")
        or line:match("^%-%-%-@return (%S+)")
        or line:match("^%-%-%-@type (%S+)")
        or line:match("^%-%-%-@alias [%w_%.]+ (%S+)")
        or line:match("^%-%-%-@field [%w_]+ (%S+)")
        or line:match("^%-%-%-@class [%w_%.]+: (%S+)")
      if expr then
        for _, name in ipairs(type_names(expr)) do
          t.truthy(BUILTIN[name] or defined[name], f .. ": unknown type " .. name .. " in " .. line)
        end
      end
    end
  end
end)

t.test("every function has a description and a reference to an existing docs section", function()
  local anchors = {}
  local function has_anchor(page, anchor)
    if not anchors[page] then
      anchors[page] = {}
      local text = md.read(root .. "/docs/" .. page)
      t.truthy(text, "docs/" .. page .. " exists")
      for _, h in ipairs(md.headings(text)) do anchors[page][h.anchor] = true end
    end
    return anchors[page][anchor]
  end
  for _, f in ipairs(FILES) do
    for _, b in ipairs(blocks(sources[f])) do
      t.truthy(b.doc[1] and not b.doc[1]:match("^%-%-%-@"), f .. ": description of " .. b.line)
      local ref
      for _, d in ipairs(b.doc) do ref = ref or d:match("^%-%-%-Reference: docs/(.+)$") end
      t.truthy(ref, f .. ": reference of " .. b.line)
      local page, anchor = ref:match("^(.-)#(.+)$")
      t.truthy(page and has_anchor(page, anchor), f .. ": " .. ref .. " names a heading")
    end
  end
end)

t.test("the meta files declare themselves as LuaLS expects", function()
  t.eq(sources["scripthost.lua"]:match("^[^\n]+"), "---@meta _")
  t.eq(sources["lua_fsop.lua"]:match("^[^\n]+"), "---@meta _")
  t.eq(sources["orbix.lua"]:match("^[^\n]+"), "---@meta orbix")
  t.eq(sources["setvar.lua"]:match("^[^\n]+"), "---@meta setvar")
  t.truthy(sources["orbix.lua"]:match("\nreturn orbix\n$"), "orbix.lua returns the module")
  t.truthy(sources["setvar.lua"]:match("\nreturn setvar\n$"), "setvar.lua returns the function")
end)

-- A small JSON reader: enough to tell a well-formed config.json from a
-- broken one, which the language server would silently ignore.
local json_null = {}
local function decode_json(s)
  local pos = 1
  local function ws() pos = s:find("[^ \t\r\n]", pos) or #s + 1 end
  local value
  local function str()
    local out, i = {}, pos + 1
    while true do
      local c = s:sub(i, i)
      if c == "" then error("unterminated string") end
      if c == '"' then pos = i + 1; return table.concat(out) end
      if c == "\\" then
        local e = s:sub(i + 1, i + 1)
        local map = { ['"'] = '"', ["\\"] = "\\", ["/"] = "/", b = "\b", f = "\f", n = "\n", r = "\r", t = "\t" }
        if map[e] then out[#out + 1] = map[e]; i = i + 2
        elseif e == "u" then out[#out + 1] = utf8.char(tonumber(s:sub(i + 2, i + 5), 16)); i = i + 6
        else error("bad escape at " .. i) end
      elseif c:byte() < 32 then error("control character in string at " .. i)
      else out[#out + 1] = c; i = i + 1 end
    end
  end
  function value()
    ws()
    local c = s:sub(pos, pos)
    if c == "{" then
      local obj = {}
      pos = pos + 1; ws()
      if s:sub(pos, pos) == "}" then pos = pos + 1; return obj end
      while true do
        ws()
        if s:sub(pos, pos) ~= '"' then error("key expected at " .. pos) end
        local k = str(); ws()
        if s:sub(pos, pos) ~= ":" then error(": expected at " .. pos) end
        pos = pos + 1
        obj[k] = value(); ws()
        local d = s:sub(pos, pos); pos = pos + 1
        if d == "}" then return obj elseif d ~= "," then error(", or } expected at " .. pos) end
      end
    elseif c == "[" then
      local arr = {}
      pos = pos + 1; ws()
      if s:sub(pos, pos) == "]" then pos = pos + 1; return arr end
      while true do
        arr[#arr + 1] = value(); ws()
        local d = s:sub(pos, pos); pos = pos + 1
        if d == "]" then return arr elseif d ~= "," then error(", or ] expected at " .. pos) end
      end
    elseif c == '"' then return str()
    else
      local lit = s:match("^-?%d+%.?%d*[eE]?[-+]?%d*", pos)
      if lit and lit ~= "" then pos = pos + #lit; return tonumber(lit) end
      for word, v in pairs { ["true"] = true, ["false"] = false, null = json_null } do
        if s:sub(pos, pos + #word - 1) == word then pos = pos + #word; return v end
      end
      error("unexpected character at " .. pos)
    end
  end
  local v = value(); ws()
  if pos <= #s then error("trailing text at " .. pos) end
  return v
end

t.test("config.json is valid JSON with the addon's name, patterns and settings", function()
  local cfg = decode_json(read(root .. "/types/luals/config.json"))
  t.eq(cfg.name, "scripthost")
  t.truthy(#cfg.words > 0 and #cfg.files > 0, "words and files")
  t.eq(cfg.settings["Lua.runtime.version"], "Lua 5.3")
  t.truthy(#cfg.settings["Lua.diagnostics.globals"] > 700, "the runtime's globals")
  for _, p in ipairs(cfg.words) do t.truthy(pcall(string.find, "", p), "word pattern " .. p) end
  for _, p in ipairs(cfg.files) do t.truthy(pcall(string.find, "", p), "file pattern " .. p) end
end)

t.test("the detection patterns recognise this runtime's scripts and not plain Lua", function()
  local cfg = decode_json(read(root .. "/types/luals/config.json"))
  local function recognised(text)
    for _, p in ipairs(cfg.words) do if text:find(p) then return true end end
    return false
  end
  for _, f in ipairs { "examples/app/init.lua", "examples/orbix_game.lua", "examples/orbix_game_media.lua",
                       "examples/modules_sample.lua" } do
    t.truthy(recognised(read(root .. "/" .. f)), f .. " is recognised")
  end
  t.truthy(recognised('local setvar = require("setvar")'), "require(\"setvar\")")
  t.falsy(recognised(read(root .. "/tools/types/markdown.lua")), "a plain Lua module is not")
  t.falsy(recognised('local orbits = require "orbits"'), "a module of a similar name is not")
  local function file_recognised(name)
    for _, p in ipairs(cfg.files) do if name:find(p) then return true end end
    return false
  end
  t.truthy(file_recognised("orbix.dll") and file_recognised("lua_fsop.dll") and file_recognised("setvar.dll"), "the modules' DLLs")
  t.falsy(file_recognised("init.lua"), "init.lua alone")
end)

t.done()
