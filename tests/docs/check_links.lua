-- Every relative link of the docs and the README points at a file that
-- exists and, with a #fragment, at a heading of that file (GitHub's anchors);
-- the docs index links every page of docs/.
--
--   lua5.3 check_links.lua SOURCE_ROOT
local t = require "testlib"
local root = assert(arg[1], "usage: check_links.lua SOURCE_ROOT")
package.path = root .. "/tools/types/?.lua;" .. package.path
local md = require "markdown"

t.test("anchors are made the way GitHub makes them", function()
  t.eq(md.slug("Creating and destroying"), "creating-and-destroying")
  t.eq(md.slug("Listing a directory: `Dir`"), "listing-a-directory-dir")
  t.eq(md.slug("getInput([prompt [, text [, caption]]]) -> string or nil"), "getinputprompt--text--caption---string-or-nil")
  t.eq(md.slug("lua_fsop — directory and file functions"), "lua_fsop--directory-and-file-functions")
  t.eq(md.slug("Functions A–Z"), "functions-az")
  t.eq(md.slug("WM_"), "wm_")
  t.eq(md.slug("See [the page](x.md) now"), "see-the-page-now")
  local hs = md.headings("# T\n## Same\n```\n## not a heading\n```\n## Same\n")
  t.eq(#hs, 3)
  t.eq(hs[3].anchor, "same-1")
end)

local read = md.read

-- The markdown files to check: README.md and everything under docs/.
local files = { "README.md" }
do
  local p = io.popen('cd "' .. root .. '" && find docs -name "*.md" | sort')
  for line in p:lines() do files[#files + 1] = line end
  p:close()
end

local function dirname(path) return path:match("^(.*)/[^/]*$") or "." end

local function normalise(path)
  local parts = {}
  for part in path:gmatch("[^/]+") do
    if part == ".." then table.remove(parts) elseif part ~= "." then parts[#parts + 1] = part end
  end
  return table.concat(parts, "/")
end

-- Links outside code: [text](target) and ![alt](target).
local function links(text)
  local out, fence = {}, false
  local n = 0
  for line in (text .. "\n"):gmatch("(.-)\n") do
    n = n + 1
    if line:match("^%s*```") then fence = not fence
    elseif not fence then
      local plain = line:gsub("``.-``", ""):gsub("`[^`]*`", "")
      for target in plain:gmatch("%]%(([^)%s]+)[^)]*%)") do out[#out + 1] = { target = target, line = n } end
    end
  end
  return out
end

local anchors = {}
local function anchors_of(path)
  if anchors[path] == nil then
    local text = read(root .. "/" .. path)
    if text then
      anchors[path] = {}
      for _, h in ipairs(md.headings(text)) do anchors[path][h.anchor] = true end
    else
      anchors[path] = false
    end
  end
  return anchors[path]
end

t.test("every relative link points at an existing file and heading", function()
  local bad, count = {}, 0
  for _, file in ipairs(files) do
    for _, l in ipairs(links(read(root .. "/" .. file))) do
      if not l.target:match("^%a[%w+.-]*:") then   -- not http:, mailto: ...
        count = count + 1
        local path, fragment = l.target:match("^([^#]*)#?(.*)$")
        local target = path == "" and file or normalise(dirname(file) .. "/" .. path)
        local f = io.open(root .. "/" .. target, "rb")
        if not f then
          bad[#bad + 1] = string.format("%s:%d: %s: no such file", file, l.line, l.target)
        else
          f:close()
          if fragment ~= "" then
            local a = target:match("%.md$") and anchors_of(target)
            if not (a and a[fragment]) then
              bad[#bad + 1] = string.format("%s:%d: %s: no heading with that anchor", file, l.line, l.target)
            end
          end
        end
      end
    end
  end
  if #bad > 0 then error(table.concat(bad, "\n"), 0) end
  t.truthy(count > 300, "links checked: " .. count)
end)

t.test("the docs index links every page of docs/", function()
  local linked = {}
  for _, l in ipairs(links(read(root .. "/docs/README.md"))) do
    linked[normalise("docs/" .. l.target:match("^([^#]*)"))] = true
  end
  local missing = {}
  for _, file in ipairs(files) do
    if file:match("^docs/") and file ~= "docs/README.md" and not linked[file] then missing[#missing + 1] = file end
  end
  if #missing > 0 then error("not linked from docs/README.md: " .. table.concat(missing, ", "), 0) end
end)

t.done()
