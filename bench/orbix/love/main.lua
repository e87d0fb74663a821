-- Read-modify-write passes over a 512x512 RGBA image: one untimed pass, then
-- as many timed passes as the first argument says (default 5), each printed
-- as "ms <time>"; then quits.
local function pass(img)
  for y = 0, 511 do
    for x = 0, 511 do
      local r, g, b, a = img:getPixel(x, y)
      img:setPixel(x, y, 1 - r, g, b, a)
    end
  end
end

function love.load(args)
  if jit and jit.status() then error("the JIT is on") end
  local passes = tonumber(args and args[1]) or 5
  local img = love.image.newImageData(512, 512, "rgba8")
  pass(img)
  for _ = 1, passes do
    local t0 = love.timer.getTime()
    pass(img)
    print(string.format("ms %.3f", (love.timer.getTime() - t0) * 1000))
  end
  io.stdout:flush()
  love.event.quit()
end
