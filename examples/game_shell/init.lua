-- A game shell: an orbix game inside scripthost, without a console window.
-- scripthost.exe is a GUI program, so no console opens; its main window is
-- hidden at the first frame, a window timer drives the frames, and SDL's quit
-- event (the game window's close box, or Escape here) ends the program.
-- Pack it with:  scripthost-pack examples\game_shell out\Bounce --name Bounce
local orbix = require "orbix"

local W, H = 480, 320
local FRAME_TIMER, FRAME_MS = 1, 10  -- the system rounds up to its tick (about 15.6 ms)

assert(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS) == 0, orbix.GetError())
-- The window and renderer stay referenced by `game` for the whole run: a
-- handle that nothing refers to any more is collected, and its window closes.
local game = {}
local status
game.window, game.renderer, status = orbix.CreateWindowAndRenderer(W, H, 0)
assert(status == 0, orbix.GetError())
orbix.SetWindowTitle(game.window, "orbix game shell")

local ball = { x = W / 2, y = H / 2, dx = 180, dy = 120, r = 18 }  -- pixels per second
local frames, last = 0, orbix.GetTicks()
local busy = false

local function finish()
  KillTimer(hWin, FRAME_TIMER)
  print("frames: " .. frames)
  orbix.DestroyRenderer(game.renderer)
  orbix.DestroyWindow(game.window)
  orbix.Quit()
  os.exit(0)
end

local function frame()
  if frames == 0 then
    -- The main window shows itself after init.lua has run, so it is hidden
    -- here, at the first tick, rather than in init.lua.
    ShowWindow(hWin, SW_HIDE)
  end
  for e in orbix.poll do
    if e.type == orbix.QUIT or (e.type == orbix.KEYDOWN and e.sym == orbix.K_ESCAPE) then
      finish()
    end
  end
  -- Timer ticks are not exact: move by the time that has passed.
  local now = orbix.GetTicks()
  local dt = math.min(now - last, 100) / 1000
  last = now
  ball.x, ball.y = ball.x + ball.dx * dt, ball.y + ball.dy * dt
  if ball.x < ball.r or ball.x > W - ball.r then ball.dx = -ball.dx end
  if ball.y < ball.r or ball.y > H - ball.r then ball.dy = -ball.dy end
  ball.x = math.max(ball.r, math.min(W - ball.r, ball.x))
  ball.y = math.max(ball.r, math.min(H - ball.r, ball.y))

  local ren = game.renderer
  orbix.SetRenderDrawColor(ren, 16, 24, 48, 255)
  orbix.RenderClear(ren)
  orbix.filledcircleRGBA(ren, math.floor(ball.x), math.floor(ball.y), ball.r, 250, 200, 60, 255)
  orbix.stringRGBA(ren, 8, 8, "frame " .. frames, 220, 220, 220, 255)
  orbix.RenderPresent(ren)
  frames = frames + 1
end

function dialog_callback(window, msg, wparam)
  if msg == WM_TIMER and wparam == FRAME_TIMER then
    -- SDL's event pump dispatches waiting window messages, this timer's
    -- included: a tick that arrives inside a frame is skipped, not nested.
    if not busy then
      busy = true
      frame()
      busy = false
    end
    return 1
  elseif msg == WM_CLOSE then
    finish()
  end
  return 0
end

SetTimer(hWin, FRAME_TIMER, FRAME_MS, 0)
