-- Small image files written by the tests themselves: 24-bit BMP and RGB PNG
-- (stored deflate blocks, so no compressor is needed).
local M = {}

-- pixel(x, y) -> r, g, b for every pixel; rows from the top.
local function rows(width, height, pixel)
  local out = {}
  for y = 0, height - 1 do
    local row = {}
    for x = 0, width - 1 do
      local r, g, b = pixel(x, y)
      row[#row + 1] = string.char(r, g, b)
    end
    out[y + 1] = table.concat(row)
  end
  return out
end

function M.bmp(path, width, height, pixel)
  local stride = (width * 3 + 3) & ~3
  local pad = string.rep("\0", stride - width * 3)
  local body = {}
  local top_down = rows(width, height, pixel)
  -- Bottom-up rows of blue, green, red.
  for y = height, 1, -1 do
    body[#body + 1] = top_down[y]:gsub("(.)(.)(.)", "%3%2%1") .. pad
  end
  local data = table.concat(body)
  local f = assert(io.open(path, "wb"))
  f:write(string.pack("<c2I4I2I2I4", "BM", 54 + #data, 0, 0, 54))
  f:write(string.pack("<I4i4i4I2I2I4I4i4i4I4I4", 40, width, height, 1, 24, 0, #data, 2835, 2835, 0, 0))
  f:write(data)
  f:close()
end

local crc_table = {}
for n = 0, 255 do
  local c = n
  for _ = 1, 8 do
    c = (c & 1 ~= 0) and (0xEDB88320 ~ (c >> 1)) or (c >> 1)
  end
  crc_table[n] = c
end

local function crc32(s)
  local c = 0xFFFFFFFF
  for i = 1, #s do c = crc_table[(c ~ s:byte(i)) & 0xFF] ~ (c >> 8) end
  return c ~ 0xFFFFFFFF
end

local function adler32(s)
  local a, b = 1, 0
  for i = 1, #s do
    a = (a + s:byte(i)) % 65521
    b = (b + a) % 65521
  end
  return (b << 16) | a
end

local function chunk(kind, data)
  return string.pack(">I4", #data) .. kind .. data .. string.pack(">I4", crc32(kind .. data))
end

function M.png(path, width, height, pixel)
  local raw = {}
  for _, row in ipairs(rows(width, height, pixel)) do raw[#raw + 1] = "\0" .. row end
  raw = table.concat(raw)
  local z = { "\x78\x01" }
  local pos = 1
  repeat
    local piece = raw:sub(pos, pos + 65534)
    pos = pos + #piece
    local final = pos > #raw and 1 or 0
    z[#z + 1] = string.pack("<BI2I2", final, #piece, ~#piece & 0xFFFF) .. piece
  until pos > #raw
  z[#z + 1] = string.pack(">I4", adler32(raw))
  local f = assert(io.open(path, "wb"))
  f:write("\x89PNG\r\n\x1a\n")
  f:write(chunk("IHDR", string.pack(">I4I4BBBBB", width, height, 8, 2, 0, 0, 0)))
  f:write(chunk("IDAT", table.concat(z)))
  f:write(chunk("IEND", ""))
  f:close()
end

return M
