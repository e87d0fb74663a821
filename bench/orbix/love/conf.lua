-- The peer runtime of the read-modify-write comparison (bench_orbix runs it
-- once per round through run.sh). Its JIT is switched off before any module
-- loads, so ImageData's getPixel/setPixel are the C functions it binds, as
-- orbix's are: the comparison is binding against binding.
if jit then jit.off() end

function love.conf(t)
  t.identity = nil
  t.window = false
  t.modules.audio = false
  t.modules.sound = false
  t.modules.graphics = false
  t.modules.window = false
  t.modules.joystick = false
  t.modules.physics = false
end
