-- Markdown helpers shared by the generator and the docs link check: the
-- headings of a page and the anchors GitHub gives them.
local M = {}

-- Punctuation outside ASCII that GitHub drops from anchors (dashes, quotes,
-- ellipsis, arrows, the middle dot). Other non-ASCII characters are letters
-- and stay.
local DROPPED = { "—", "–", "‘", "’", "“", "”", "…", "«", "»", "·", "→", "←", "×", "±", "≥", "≤" }

-- The anchor of a heading: its rendered text in lower case, ASCII
-- punctuation other than "-" and "_" removed, each space turned into "-".
function M.slug(text)
  text = text:gsub("!?%[([^%]]*)%]%([^)]*%)", "%1")  -- links and images keep their text
  text = text:lower()
  for _, p in ipairs(DROPPED) do text = text:gsub(p, "") end
  text = text:gsub("[%z\1-\127]", function(c)
    if c:match("[%w_%- ]") then return c end
    return ""
  end)
  return (text:gsub(" ", "-"))
end

-- The headings of a page in order: { level = n, text = "...", anchor = "..." }.
-- Fenced code blocks are skipped; a repeated anchor gets "-1", "-2", ... as
-- on GitHub.
function M.headings(source)
  local out, seen, fence = {}, {}, nil
  for line in (source .. "\n"):gmatch("(.-)\r?\n") do
    local f = line:match("^%s*(```+)") or line:match("^%s*(~~~+)")
    if f then
      if not fence then fence = f:sub(1, 1) elseif f:sub(1, 1) == fence then fence = nil end
    elseif not fence then
      local hashes, text = line:match("^(#+)%s+(.-)%s*#*%s*$")
      if hashes and #hashes <= 6 then
        local anchor = M.slug(text)
        local n = seen[anchor]
        seen[anchor] = (n or 0) + 1
        if n then anchor = anchor .. "-" .. n end
        out[#out + 1] = { level = #hashes, text = text, anchor = anchor }
      end
    end
  end
  return out
end

function M.read(path)
  local f = io.open(path, "rb")
  if not f then return nil end
  local s = f:read("a")
  f:close()
  return s
end

return M
