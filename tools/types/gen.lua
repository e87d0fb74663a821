-- Generates the script authors' tooling from the built programs' own
-- registration tables (the surface listing dump.lua prints) and the
-- hand-written signatures beside this file:
--
--   types/luals/config.json            LuaLS addon: name, detection, settings
--   types/luals/library/*.lua          LuaLS definitions (---@meta files)
--   types/luacheckrc                   luacheck standards scripthost, lua_fsop
--   docs/host/constants.md             every host constant with its value
--   docs/README.md                     the function index (between markers)
--
--   lua5.3 gen.lua --surface FILE --write   writes them
--   lua5.3 gen.lua --surface FILE --check   fails when one differs
--   [--root DIR]                            the source tree (default ../..)
--
-- It refuses to generate (exit 2) when the signatures and the registered
-- names disagree, a docs section they point at does not exist, or a
-- constant belongs to no group.

local here = arg[0]:match("^(.*)/[^/]*$") or "."
package.path = here .. "/?.lua;" .. package.path
local md = require "markdown"
local S = dofile(here .. "/signatures.lua")

local opts = { root = here .. "/../.." }
do
  local i = 1
  while arg[i] do
    local a = arg[i]
    if a == "--surface" or a == "--root" then
      opts[a:sub(3)] = assert(arg[i + 1], a .. " needs a value"); i = i + 2
    elseif a == "--write" or a == "--check" then
      opts.mode = a:sub(3); i = i + 1
    else
      io.stderr:write("gen.lua: unknown argument ", a, "\n"); os.exit(2)
    end
  end
  if not opts.surface or not opts.mode then
    io.stderr:write("usage: lua5.3 gen.lua --surface FILE (--write | --check) [--root DIR]\n")
    os.exit(2)
  end
end

local problems = {}
local function problem(fmt, ...) problems[#problems + 1] = string.format(fmt, ...) end

local function sorted_keys(t)
  local out = {}
  for k in pairs(t) do out[#out + 1] = k end
  table.sort(out)
  return out
end

local function by_name_ci(a, b)
  local la, lb = a:lower(), b:lower()
  if la ~= lb then return la < lb end
  return a < b
end

----------------------------------------------------------------------------
-- The surface: what the programs registered.
----------------------------------------------------------------------------

local surface = { host = {}, lua = {}, orbix = {}, lua_fsop = {}, setvar = {} }
do
  local f = assert(io.open(opts.surface, "rb"), "cannot read " .. opts.surface)
  for line in f:lines() do
    line = line:gsub("\r$", "")
    if line ~= "" then
      local scope, kind, name, value = line:match("^(%S+) (%S+) (%S+) ?(%S*)$")
      if not scope or not surface[scope] then error("unreadable surface line: " .. line) end
      surface[scope][name] = { kind = kind, value = value ~= "" and math.tointeger(tonumber(value)) or nil }
    end
  end
  f:close()
  for _, scope in ipairs { "host", "lua", "orbix", "lua_fsop", "setvar" } do
    if not next(surface[scope]) then error("the surface listing has nothing for " .. scope) end
  end
end

-- The host's own globals: everything its state holds that a plain Lua state
-- does not.
local host_functions, host_constants, host_values = {}, {}, {}
for name, e in pairs(surface.host) do
  if not surface.lua[name] then
    if e.kind == "function" then host_functions[name] = true
    elseif e.kind == "integer" then host_constants[name] = e.value
    else host_values[name] = e.kind end
  end
end

local orbix_functions, orbix_constants, orbix_metatables = {}, {}, {}
for name, e in pairs(surface.orbix) do
  if e.kind == "function" then orbix_functions[name] = true
  elseif e.kind == "integer" then orbix_constants[name] = e.value
  elseif e.kind == "metatable" then orbix_metatables[name] = true
  else problem("orbix registers %s of kind %s, which the generator does not know", name, e.kind) end
end

local fsop_functions = {}
for name, e in pairs(surface.lua_fsop) do
  if e.kind == "function" then fsop_functions[name] = true
  else problem("lua_fsop registers %s of kind %s", name, e.kind) end
end
if not (surface.setvar.setvar and surface.setvar.setvar.kind == "function") then
  problem("require \"setvar\" no longer returns a function")
end

----------------------------------------------------------------------------
-- Signatures.
----------------------------------------------------------------------------

-- Splits at commas that are not inside (), <>, {} or [].
local function split_top(s)
  local out, depth, start = {}, 0, 1
  for i = 1, #s do
    local c = s:sub(i, i)
    if c:match("[%(<{%[]") then depth = depth + 1
    elseif c:match("[%)>}%]]") then depth = depth - 1
    elseif c == "," and depth == 0 then
      out[#out + 1] = s:sub(start, i - 1); start = i + 1
    end
  end
  local last = s:sub(start)
  if last:match("%S") then out[#out + 1] = last end
  for i, v in ipairs(out) do out[i] = v:match("^%s*(.-)%s*$") end
  return out
end

local function parse_item(text, what)
  local name, opt, ty = text:match("^([%w_%.]+)(%??):%s*(%S.-)$")
  if not name then error(what .. ": cannot read '" .. text .. "'") end
  return { name = name, optional = opt == "?", type = ty }
end

-- "Name(a: t, b?: t) -> r: t, s?: t" -> { name, params, returns }
local function parse_signature(text)
  local name, open = text:match("^([%w_]+)()%(")
  if not name then error("cannot read signature '" .. text .. "'") end
  local depth, close = 0, nil
  for i = open, #text do
    local c = text:sub(i, i)
    if c == "(" then depth = depth + 1 elseif c == ")" then
      depth = depth - 1
      if depth == 0 then close = i; break end
    end
  end
  if not close then error("unbalanced parentheses in '" .. text .. "'") end
  local sig = { name = name, params = {}, returns = {}, text = text }
  for _, p in ipairs(split_top(text:sub(open + 1, close - 1))) do
    sig.params[#sig.params + 1] = parse_item(p, name)
  end
  local rest = text:sub(close + 1):match("^%s*(.-)%s*$")
  if rest ~= "" then
    local list = rest:match("^%->%s*(.+)$")
    if not list then error(name .. ": expected '-> results' after the arguments") end
    for _, r in ipairs(split_top(list)) do sig.returns[#sig.returns + 1] = parse_item(r, name) end
  end
  return sig
end

local function parse_field(text)
  local name, opt, ty, doc = text:match("^([%w_]+)(%??):%s*(%S+)%s*(.-)$")
  if not name then error("cannot read field '" .. text .. "'") end
  return { name = name, optional = opt == "?", type = ty, doc = doc }
end

-- Reads every docs page a section points at, once: its title and anchors.
local pages = {}
local function page_info(page)
  local info = pages[page]
  if info then return info end
  local text = md.read(opts.root .. "/docs/" .. page)
  info = { anchors = {}, title = nil, exists = text ~= nil }
  if text then
    for _, h in ipairs(md.headings(text)) do
      info.anchors[h.text] = h.anchor
      if h.level == 1 and not info.title then info.title = h.text end
    end
  end
  pages[page] = info
  return info
end

local function section_link(page, heading)
  local info = page_info(page)
  if not info.exists then problem("docs/%s does not exist", page); return page end
  local anchor = info.anchors[heading]
  if not anchor then problem("docs/%s has no heading '%s'", page, heading); return page end
  return page .. "#" .. anchor
end

-- Flattens sections into entries { sig, doc, page, heading, link } and
-- checks them against the registered names, both ways.
local function collect(sections, registered, what)
  local entries, seen = {}, {}
  for _, sec in ipairs(sections) do
    local link = section_link(sec.page, sec.heading)
    for _, item in ipairs(sec) do
      local sig = parse_signature(item[1])
      if seen[sig.name] then problem("%s: %s has two signatures", what, sig.name) end
      seen[sig.name] = true
      if not registered[sig.name] then
        problem("%s: signature for %s, which is not registered", what, sig.name)
      end
      entries[#entries + 1] = { sig = sig, doc = item[2], page = sec.page, heading = sec.heading, link = link }
    end
  end
  for _, name in ipairs(sorted_keys(registered)) do
    if not seen[name] then problem("%s: %s is registered but has no signature in signatures.lua", what, name) end
  end
  return entries
end

local host_entries = collect(S.host.sections, host_functions, "host")
local orbix_entries = collect(S.orbix.sections, orbix_functions, "orbix")
local fsop_entries = collect(S.lua_fsop.sections, fsop_functions, "lua_fsop")
local setvar_entry = {
  sig = parse_signature(S.setvar[1]), doc = S.setvar[2], page = S.setvar.page, heading = S.setvar.heading,
  link = section_link(S.setvar.page, S.setvar.heading),
}
local callback_entry = {
  sig = parse_signature(S.host.callback[1]), doc = S.host.callback[2],
  page = S.host.callback.page, heading = S.host.callback.heading,
  link = section_link(S.host.callback.page, S.host.callback.heading),
}

-- Values the host sets: those set before init.lua runs must be in the
-- listing, and the listing must hold nothing else unexplained.
local declared_values = {}
for _, g in ipairs(S.host.globals) do
  declared_values[g[1]] = g
  if g[3] == "start" and not host_values[g[1]] then
    problem("host: %s is declared as set at start-up but the program does not set it", g[1])
  end
end
for name, kind in pairs(host_values) do
  if not declared_values[name] then problem("host: global %s (%s) is not declared in signatures.lua", name, kind) end
end

local handle_classes = {}
for _, h in ipairs(S.orbix.handles) do
  handle_classes[h[1]] = h
  if not orbix_metatables[h[1]] then problem("orbix: handle class %s has no metatable", h[1]) end
end
for name in pairs(orbix_metatables) do
  if not handle_classes[name] then problem("orbix: metatable %s has no handle class in signatures.lua", name) end
end

-- Constant groups: a listed name, else the prefix up to the first "_".
local group_of, groups_by_key = {}, {}
for _, g in ipairs(S.host.constant_groups) do
  groups_by_key[g[1]] = g
  for _, n in ipairs(g.names or {}) do group_of[n] = g end
end
local function constant_group(name)
  local g = group_of[name] or groups_by_key[name:match("^(%u+_)") or ""]
  if not g then problem("host: constant %s belongs to no group of signatures.lua", name) end
  return g
end
local grouped = {}
for _, name in ipairs(sorted_keys(host_constants)) do
  local g = constant_group(name)
  if g then
    grouped[g] = grouped[g] or {}
    table.insert(grouped[g], name)
  end
end
for _, list in pairs(grouped) do table.sort(list, by_name_ci) end
for _, g in ipairs(S.host.constant_groups) do
  if not grouped[g] then problem("host: constant group %s has no constants", g[1]) end
end

if #problems > 0 then
  io.stderr:write("gen.lua: the signatures and the registered surface disagree:\n")
  for _, p in ipairs(problems) do io.stderr:write("  ", p, "\n") end
  os.exit(2)
end

----------------------------------------------------------------------------
-- LuaLS definitions.
----------------------------------------------------------------------------

local GENERATED = "Generated by tools/types/gen.lua from the registration tables and tools/types/signatures.lua: do not edit."

local function optional_type(t)
  if t:find("|", 1, true) then return t .. "|nil" end
  return t .. "?"
end

-- `define` formats the defining line from the name and the argument list.
local function luals_function(out, define, e)
  local sig = e.sig
  out[#out + 1] = "---" .. e.doc
  out[#out + 1] = "---"
  out[#out + 1] = "---Reference: docs/" .. e.link
  local names = {}
  for _, p in ipairs(sig.params) do
    out[#out + 1] = string.format("---@param %s%s %s", p.name, p.optional and "?" or "", p.type)
    names[#names + 1] = p.name
  end
  for _, r in ipairs(sig.returns) do
    out[#out + 1] = string.format("---@return %s %s", r.optional and optional_type(r.type) or r.type, r.name)
  end
  out[#out + 1] = string.format(define, sig.name, table.concat(names, ", "))
  out[#out + 1] = ""
end

local function banner(out, text)
  out[#out + 1] = string.rep("-", 78)
  out[#out + 1] = "-- " .. text
  out[#out + 1] = string.rep("-", 78)
end

-- The functions of one module, under a banner per docs section.
local function functions_by_section(out, define, entries)
  local last
  for _, e in ipairs(entries) do
    if last ~= e.link then
      banner(out, string.format("docs/%s: %s", e.page, e.heading))
      out[#out + 1] = ""
      last = e.link
    end
    luals_function(out, define, e)
  end
end

local function luals_class(out, name, parent, doc, fields)
  out[#out + 1] = "---" .. doc
  out[#out + 1] = "---@class " .. name .. (parent and (": " .. parent) or "")
  for _, text in ipairs(fields or {}) do
    local f = parse_field(text)
    local ty = f.optional and optional_type(f.type) or f.type
    out[#out + 1] = string.format("---@field %s %s%s", f.name, ty, f.doc ~= "" and (" " .. f.doc) or "")
  end
  out[#out + 1] = ""
end

local function luals_aliases(out, aliases)
  for _, a in ipairs(aliases) do
    out[#out + 1] = "---" .. a[3]
    out[#out + 1] = string.format("---@alias %s %s", a[1], a[2])
    out[#out + 1] = ""
  end
end

local function host_library()
  local out = {
    "---@meta _",
    "-- scripthost: the globals the host defines before init.lua runs.",
    "-- " .. GENERATED,
    "",
  }
  luals_aliases(out, S.host.aliases)
  for _, c in ipairs(S.host.classes) do luals_class(out, c[1], nil, c[2], c[3]) end
  for _, g in ipairs(S.host.globals) do
    out[#out + 1] = "---" .. g[4]
    out[#out + 1] = "---@type " .. g[2]
    out[#out + 1] = g[1] .. " = nil"
    out[#out + 1] = ""
  end
  luals_function(out, "function %s(%s) end", callback_entry)
  functions_by_section(out, "function %s(%s) end", host_entries)
  banner(out, "Constants (docs/host/constants.md)")
  for _, g in ipairs(S.host.constant_groups) do
    out[#out + 1] = ""
    out[#out + 1] = "-- " .. g[1] .. ": " .. g[2]
    for _, name in ipairs(grouped[g]) do
      out[#out + 1] = string.format("%s = %d", name, host_constants[name])
    end
  end
  out[#out + 1] = ""
  return table.concat(out, "\n")
end

local function fsop_library()
  local out = {
    "---@meta _",
    "-- lua_fsop: the globals its entry fsop registers once a script has loaded it with",
    "--   package.loadlib(package.searchpath(\"lua_fsop\", package.cpath), \"fsop\")()",
    "-- " .. GENERATED,
    "",
  }
  for _, e in ipairs(fsop_entries) do luals_function(out, "function %s(%s) end", e) end
  return table.concat(out, "\n")
end

local function setvar_library()
  local out = {
    "---@meta setvar",
    "-- setvar: require \"setvar\" returns the setter function itself.",
    "-- " .. GENERATED,
    "",
  }
  luals_function(out, "local function %s(%s) end", setvar_entry)
  out[#out + 1] = "return setvar"
  out[#out + 1] = ""
  return table.concat(out, "\n")
end

local function orbix_library()
  local out = {
    "---@meta orbix",
    "-- orbix: the module table require \"orbix\" returns.",
    "-- " .. GENERATED,
    "",
  }
  luals_aliases(out, S.orbix.aliases)
  for _, h in ipairs(S.orbix.handles) do luals_class(out, h[1], nil, h[2]) end
  local union = {}
  for _, ev in ipairs(S.orbix.events) do
    luals_class(out, ev[1], ev[2], ev[3], ev[4])
    union[#union + 1] = ev[1]
  end
  out[#out + 1] = "---Any table poll returns; test `type` to know which fields it has."
  out[#out + 1] = "---@alias orbix.AnyEvent " .. table.concat(union, "|")
  out[#out + 1] = ""
  out[#out + 1] = "---" .. S.orbix.module
  out[#out + 1] = "---@class orbix"
  out[#out + 1] = "local orbix = {}"
  out[#out + 1] = ""
  functions_by_section(out, "function orbix.%s(%s) end", orbix_entries)
  banner(out, "Constants: SDL's names without the SDL_ prefix")
  out[#out + 1] = ""
  for _, name in ipairs(sorted_keys(orbix_constants)) do
    out[#out + 1] = string.format("orbix.%s = %d", name, orbix_constants[name])
  end
  out[#out + 1] = ""
  out[#out + 1] = "return orbix"
  out[#out + 1] = ""
  return table.concat(out, "\n")
end

----------------------------------------------------------------------------
-- Globals for luacheck and the addon's settings.
----------------------------------------------------------------------------

local host_read_only = {}
for name in pairs(host_functions) do host_read_only[#host_read_only + 1] = name end
for name in pairs(host_constants) do host_read_only[#host_read_only + 1] = name end
for _, g in ipairs(S.host.globals) do host_read_only[#host_read_only + 1] = g[1] end
table.sort(host_read_only)
local fsop_names = sorted_keys(fsop_functions)

local function wrapped_list(out, names, indent, width)
  local line = indent
  for _, n in ipairs(names) do
    local item = string.format("%q,", n)
    if #line + #item + 1 > width and line ~= indent then
      out[#out + 1] = line
      line = indent
    end
    line = line .. (line == indent and "" or " ") .. item
  end
  if line ~= indent then out[#out + 1] = line end
end

local function luacheckrc()
  local out = {
    "-- luacheck standards for scripts of this runtime.",
    "-- " .. GENERATED,
    "--",
    "--   luacheck --config types/luacheckrc --std lua53+scripthost init.lua",
    "--   luacheck --config types/luacheckrc --std lua53+scripthost+lua_fsop init.lua   (a script that loads lua_fsop)",
    "--",
    "-- scripthost: the host's functions, constants and handles are read-only; a script may set",
    "-- dialog_callback. lua_fsop: the six globals its entry fsop registers. orbix and setvar are",
    "-- modules that set no globals.",
    "",
    "stds.scripthost = {",
    "  globals = { \"dialog_callback\" },",
    "  read_globals = {",
  }
  wrapped_list(out, host_read_only, "    ", 100)
  out[#out + 1] = "  },"
  out[#out + 1] = "}"
  out[#out + 1] = ""
  out[#out + 1] = "stds.lua_fsop = {"
  out[#out + 1] = "  read_globals = {"
  wrapped_list(out, fsop_names, "    ", 100)
  out[#out + 1] = "  },"
  out[#out + 1] = "}"
  out[#out + 1] = ""
  return table.concat(out, "\n")
end

local function json_string(s)
  return '"' .. s:gsub('[%c"\\]', function(c)
    if c == '"' then return '\\"' elseif c == "\\" then return "\\\\" end
    return string.format("\\u%04x", c:byte())
  end) .. '"'
end

local function json_array(out, items, indent)
  for i, s in ipairs(items) do
    out[#out + 1] = indent .. json_string(s) .. (i < #items and "," or "")
  end
end

local function config_json()
  local globals = { "dialog_callback" }
  for _, n in ipairs(host_read_only) do globals[#globals + 1] = n end
  for _, n in ipairs(fsop_names) do globals[#globals + 1] = n end
  table.sort(globals)
  local out = { "{", '  "name": "scripthost",', '  "words": [' }
  json_array(out, S.addon.words, "    ")
  out[#out + 1] = "  ],"
  out[#out + 1] = '  "files": ['
  json_array(out, S.addon.files, "    ")
  out[#out + 1] = "  ],"
  out[#out + 1] = '  "settings": {'
  out[#out + 1] = '    "Lua.runtime.version": "Lua 5.3",'
  out[#out + 1] = '    "Lua.diagnostics.globals": ['
  json_array(out, globals, "      ")
  out[#out + 1] = "    ]"
  out[#out + 1] = "  }"
  out[#out + 1] = "}"
  out[#out + 1] = ""
  return table.concat(out, "\n")
end

----------------------------------------------------------------------------
-- Docs: the constants page and the function index.
----------------------------------------------------------------------------

local function hex(v)
  if v < 0 then return string.format("-0x%X", -v) end
  return string.format("0x%X", v)
end

local function constants_page()
  local count = 0
  for _ in pairs(host_constants) do count = count + 1 end
  local out = {
    "# Host constants",
    "",
    "<!-- " .. GENERATED .. " -->",
    "",
    string.format(S.host.constants_intro, count),
    "",
  }
  local jump = {}
  for _, g in ipairs(S.host.constant_groups) do
    jump[#jump + 1] = string.format("[%s](#%s)", g[1], md.slug(g[1]))
  end
  out[#out + 1] = table.concat(jump, " · ")
  for _, g in ipairs(S.host.constant_groups) do
    out[#out + 1] = ""
    out[#out + 1] = "## " .. g[1]
    out[#out + 1] = ""
    out[#out + 1] = g[2]
    out[#out + 1] = ""
    out[#out + 1] = "| name | value | hex |"
    out[#out + 1] = "|---|--:|--:|"
    for _, name in ipairs(grouped[g]) do
      local v = host_constants[name]
      out[#out + 1] = string.format("| `%s` | %d | %s |", name, v, hex(v))
    end
  end
  out[#out + 1] = ""
  return table.concat(out, "\n")
end

local BEGIN = "<!-- BEGIN function index: generated by tools/types/gen.lua, do not edit by hand -->"
local END = "<!-- END function index -->"

local function index_region()
  local out = { BEGIN, "", "## Functions by area", "" }
  -- One heading per module, one line per page, one item per docs section.
  local function by_area(title, entries)
    out[#out + 1] = "### " .. title
    local page, current, names
    local function flush()
      if current then
        out[#out + 1] = string.format("  - [%s](%s): %s", current.heading, current.link, table.concat(names, ", "))
      end
    end
    for _, e in ipairs(entries) do
      if page ~= e.page then
        flush()
        if not page then out[#out + 1] = "" end
        page, current = e.page, nil
        out[#out + 1] = string.format("- [%s](%s)", page_info(e.page).title or e.page, e.page)
      end
      if not current or current.link ~= e.link then
        flush()
        current, names = e, {}
      end
      names[#names + 1] = "`" .. e.sig.name .. "`"
    end
    flush()
    out[#out + 1] = ""
  end
  by_area("scripthost (globals)", host_entries)
  by_area("orbix (`local orbix = require \"orbix\"`)", orbix_entries)
  by_area("lua_fsop (globals after loading it)", fsop_entries)
  by_area("setvar (`local setvar = require \"setvar\"`)", { setvar_entry })
  out[#out + 1] = "The script defines `dialog_callback`: see [" .. callback_entry.heading .. "](" .. callback_entry.link .. ")."
  out[#out + 1] = ""

  out[#out + 1] = "## Functions A–Z"
  out[#out + 1] = ""
  local all = {}
  local function add(entries, prefix)
    for _, e in ipairs(entries) do all[#all + 1] = { key = e.sig.name, label = prefix .. e.sig.name, link = e.link } end
  end
  add(host_entries, "")
  add({ callback_entry }, "")
  add(orbix_entries, "orbix.")
  add(fsop_entries, "")
  add({ setvar_entry }, "")
  table.sort(all, function(a, b)
    if a.key:lower() ~= b.key:lower() then return a.key:lower() < b.key:lower() end
    return a.label < b.label
  end)
  local letter, line
  for _, item in ipairs(all) do
    local l = item.key:sub(1, 1):upper()
    if l ~= letter then
      if line then out[#out + 1] = line; out[#out + 1] = "" end
      letter, line = l, "**" .. l .. "**"
    end
    line = line .. string.format(" · [`%s`](%s)", item.label, item.link)
  end
  if line then out[#out + 1] = line; out[#out + 1] = "" end
  out[#out + 1] = END
  return table.concat(out, "\n")
end

local function docs_index(current)
  if not current then problem("docs/README.md does not exist"); return nil end
  local a = current:find(BEGIN, 1, true)
  local b = current:find(END, 1, true)
  if not a or not b or b < a then
    problem("docs/README.md lacks the markers of the generated function index")
    return nil
  end
  return current:sub(1, a - 1) .. index_region() .. current:sub(b + #END)
end

----------------------------------------------------------------------------
-- Write or check.
----------------------------------------------------------------------------

local outputs = {
  { "types/luals/config.json", config_json() },
  { "types/luals/library/scripthost.lua", host_library() },
  { "types/luals/library/lua_fsop.lua", fsop_library() },
  { "types/luals/library/orbix.lua", orbix_library() },
  { "types/luals/library/setvar.lua", setvar_library() },
  { "types/luacheckrc", luacheckrc() },
  { "docs/host/constants.md", constants_page() },
}
local index = docs_index(md.read(opts.root .. "/docs/README.md"))
if index then outputs[#outputs + 1] = { "docs/README.md", index } end
if #problems > 0 then
  for _, p in ipairs(problems) do io.stderr:write("gen.lua: ", p, "\n") end
  os.exit(2)
end

local stale = 0
for _, o in ipairs(outputs) do
  local path = opts.root .. "/" .. o[1]
  if opts.mode == "write" then
    local f = assert(io.open(path, "wb"))
    f:write(o[2])
    f:close()
    print("wrote " .. o[1])
  elseif md.read(path) ~= o[2] then
    print("stale: " .. o[1])
    stale = stale + 1
  end
end
if stale > 0 then
  print(string.format("%d generated file(s) differ from what the registration tables give; regenerate with", stale))
  print("  cmake --build build/win64 --target types")
  os.exit(1)
end
if opts.mode == "check" then print("all generated files are up to date") end
