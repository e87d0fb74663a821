// orbix benchmarks: the module's bindings, driven from Lua, against the same
// work done in C in the same process and on the same SDL objects.
//
//   (a) drawing: a loop of SDL2_gfx primitives, and a loop of RenderCopy;
//   (b) pixels:  get_surface_rgba / set_surface_rgba over a 512x512 surface,
//                against a no-op binding taking the same arguments and
//                against a C loop calling the module's exported pixel code;
//   (c) events:  poll over 100,000 pushed events against a C loop that polls
//                the same events and reads the same fields.
//
// The Lua side runs in a state of our own that loads the built orbix module
// with require; the C side reaches the module's SDL objects through the
// handles (a handle's block is the object pointer). Run by run.sh; never by
// ctest. Prints one line per comparison: both times and their ratio.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <dlfcn.h>
#include <lua.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

int g_scale = 1;  // BENCH_SCALE multiplies every loop count

[[noreturn]] void die(const std::string& what) {
  std::fprintf(stderr, "bench_orbix: %s\n", what.c_str());
  std::exit(1);
}

// Runs a Lua chunk (with the benchmark's globals in scope) and returns the
// seconds it took.
double time_lua(lua_State* L, const std::string& code) {
  if (luaL_loadstring(L, code.c_str()) != LUA_OK) die(lua_tostring(L, -1));
  auto t0 = Clock::now();
  if (lua_pcall(L, 0, 0, 0) != LUA_OK) die(lua_tostring(L, -1));
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

template <typename F>
double time_c(F&& body) {
  auto t0 = Clock::now();
  body();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Best of three, so that one disturbed run does not decide the figure.
template <typename F>
double best_of(F&& run) {
  double best = run();
  for (int i = 0; i < 2; ++i) {
    double t = run();
    if (t < best) best = t;
  }
  return best;
}

void report(const char* what, const char* lua_side, double lua_s, const char* base_side, double base_s) {
  std::printf("%-34s %-22s %9.2f ms   %-22s %9.2f ms   ratio %6.2f\n", what, lua_side, lua_s * 1e3, base_side,
              base_s * 1e3, lua_s / base_s);
}

// The SDL object behind the handle in global `name`.
template <typename T>
T* handle(lua_State* L, const char* name) {
  lua_getglobal(L, name);
  void** block = static_cast<void**>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  if (!block || !*block) die(std::string("no live handle in ") + name);
  return static_cast<T*>(*block);
}

// No-op bindings: the same arguments as get_/set_surface_rgba, no work.
int noop_get(lua_State* L) {
  for (int i = 0; i < 4; ++i) lua_pushinteger(L, 0);
  return 4;
}
int noop_set(lua_State*) { return 0; }

// --- (a) drawing -------------------------------------------------------------

constexpr int kPrimitiveRounds = 20000;  // each round: five primitives
constexpr int kCopies = 100000;
constexpr int kFlushEvery = 500;         // RenderPresent keeps the command queue short

void bench_drawing(lua_State* L) {
  SDL_Renderer* ren = handle<SDL_Renderer>(L, "ren");
  SDL_Texture* sprite = handle<SDL_Texture>(L, "sprite");
  const int rounds = kPrimitiveRounds * g_scale;
  const int copies = kCopies * g_scale;

  std::string prim = "local o, ren = orbix, ren\n"
                     "local pixel, line, box, circle, hline = o.pixelRGBA, o.lineRGBA, o.boxRGBA, "
                     "o.filledcircleRGBA, o.hlineRGBA\n"
                     "for i = 1, " + std::to_string(rounds) + " do\n"
                     "  local x, y = i % 200, i % 150\n"
                     "  pixel(ren, x, y, 255, 0, 0, 255)\n"
                     "  line(ren, x, y, x + 20, y + 10, 0, 255, 0, 255)\n"
                     "  box(ren, x, y, x + 8, y + 8, 0, 0, 255, 255)\n"
                     "  circle(ren, x + 30, y + 30, 6, 255, 255, 0, 255)\n"
                     "  hline(ren, x, x + 40, y + 3, 0, 255, 255, 255)\n"
                     "  if i % " + std::to_string(kFlushEvery) + " == 0 then o.RenderPresent(ren) end\n"
                     "end\n"
                     "o.RenderPresent(ren)\n";
  double lua_s = best_of([&] { return time_lua(L, prim); });
  double c_s = best_of([&] {
    return time_c([&] {
      for (int i = 1; i <= rounds; ++i) {
        Sint16 x = static_cast<Sint16>(i % 200), y = static_cast<Sint16>(i % 150);
        pixelRGBA(ren, x, y, 255, 0, 0, 255);
        lineRGBA(ren, x, y, x + 20, y + 10, 0, 255, 0, 255);
        boxRGBA(ren, x, y, x + 8, y + 8, 0, 0, 255, 255);
        filledCircleRGBA(ren, x + 30, y + 30, 6, 255, 255, 0, 255);
        hlineRGBA(ren, x, x + 40, y + 3, 0, 255, 255, 255);
        if (i % kFlushEvery == 0) SDL_RenderPresent(ren);
      }
      SDL_RenderPresent(ren);
    });
  });
  report("(a) primitives, 5 per round", "Lua (orbix)", lua_s, "C (SDL2_gfx)", c_s);

  std::string copy = "local o, ren, sprite = orbix, ren, sprite\n"
                     "local copy, dst = o.RenderCopy, {0, 0, 16, 16}\n"
                     "for i = 1, " + std::to_string(copies) + " do\n"
                     "  dst[1], dst[2] = i % 300, i % 200\n"
                     "  copy(ren, sprite, nil, dst)\n"
                     "  if i % " + std::to_string(kFlushEvery) + " == 0 then o.RenderPresent(ren) end\n"
                     "end\n"
                     "o.RenderPresent(ren)\n";
  lua_s = best_of([&] { return time_lua(L, copy); });
  c_s = best_of([&] {
    return time_c([&] {
      SDL_Rect dst = {0, 0, 16, 16};
      for (int i = 1; i <= copies; ++i) {
        dst.x = i % 300;
        dst.y = i % 200;
        SDL_RenderCopy(ren, sprite, nullptr, &dst);
        if (i % kFlushEvery == 0) SDL_RenderPresent(ren);
      }
      SDL_RenderPresent(ren);
    });
  });
  report("(a) RenderCopy 16x16", "Lua (orbix)", lua_s, "C (SDL)", c_s);
}

// --- (b) pixels ------------------------------------------------------------------

using GetPixelFn = Uint32 (*)(SDL_Surface*, int, int);
using SetPixelFn = void (*)(SDL_Surface*, int, int, Uint8, Uint8, Uint8, Uint8);

void bench_pixels(lua_State* L, void* module) {
  auto get_pixel = reinterpret_cast<GetPixelFn>(dlsym(module, "GetPixel"));
  auto set_pixel = reinterpret_cast<SetPixelFn>(dlsym(module, "set_surface_rgba"));
  if (!get_pixel || !set_pixel) die("orbix does not export GetPixel / set_surface_rgba");
  SDL_Surface* s = handle<SDL_Surface>(L, "surf");
  const int passes = g_scale;

  auto loop = [&](const char* fn, const char* args) {
    return "local f, s = " + std::string(fn) + ", surf\n"
           "for _ = 1, " + std::to_string(passes) + " do\n"
           "  for y = 0, 511 do for x = 0, 511 do " + args + " end end\n"
           "end\n";
  };
  const char* get_args = "local r, g, b, a = f(s, x, y)";
  const char* set_args = "f(s, x, y, x, y, 7, 255)";

  double lua_get = best_of([&] { return time_lua(L, loop("orbix.get_surface_rgba", get_args)); });
  double noop_get_s = best_of([&] { return time_lua(L, loop("noop_get", get_args)); });
  volatile Uint32 sink = 0;
  double c_get = best_of([&] {
    return time_c([&] {
      for (int p = 0; p < passes; ++p)
        for (int y = 0; y < 512; ++y)
          for (int x = 0; x < 512; ++x) {
            // What the binding does per pixel, minus Lua.
            bool locked = SDL_MUSTLOCK(s);
            if (locked) SDL_LockSurface(s);
            Uint32 pixel = get_pixel(s, x, y);
            if (locked) SDL_UnlockSurface(s);
            Uint8 r = 0, g = 0, b = 0, a = 0;
            Uint32 key;
            if (!(SDL_GetColorKey(s, &key) == 0 && key == pixel)) SDL_GetRGBA(pixel, s->format, &r, &g, &b, &a);
            sink = sink + r + g + b + a;
          }
    });
  });
  report("(b) get_surface_rgba 512x512", "Lua (orbix)", lua_get, "Lua (no-op binding)", noop_get_s);
  report("(b) get_surface_rgba 512x512", "Lua (orbix)", lua_get, "C (exported GetPixel)", c_get);

  double lua_set = best_of([&] { return time_lua(L, loop("orbix.set_surface_rgba", set_args)); });
  double noop_set_s = best_of([&] { return time_lua(L, loop("noop_set", set_args)); });
  double c_set = best_of([&] {
    return time_c([&] {
      for (int p = 0; p < passes; ++p)
        for (int y = 0; y < 512; ++y)
          for (int x = 0; x < 512; ++x) {
            bool locked = SDL_MUSTLOCK(s);
            if (locked) SDL_LockSurface(s);
            set_pixel(s, x, y, static_cast<Uint8>(x), static_cast<Uint8>(y), 7, 255);
            if (locked) SDL_UnlockSurface(s);
          }
    });
  });
  report("(b) set_surface_rgba 512x512", "Lua (orbix)", lua_set, "Lua (no-op binding)", noop_set_s);
  report("(b) set_surface_rgba 512x512", "Lua (orbix)", lua_set, "C (exported setter)", c_set);
}

// --- (c) events --------------------------------------------------------------------

constexpr int kEvents = 100000;
constexpr int kBatch = 10000;  // SDL's queue holds at most 65535 events

void push_batch(int count) {
  for (int i = 0; i < count; ++i) {
    SDL_Event e{};
    switch (i % 5) {
      case 0:
        e.type = SDL_KEYDOWN;
        e.key.windowID = 1;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = SDLK_SPACE;
        e.key.keysym.scancode = SDL_SCANCODE_SPACE;
        break;
      case 1:
        e.type = SDL_MOUSEMOTION;
        e.motion.x = i % 640;
        e.motion.y = i % 480;
        e.motion.xrel = 1;
        e.motion.state = SDL_BUTTON_LMASK;
        break;
      case 2:
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = SDL_PRESSED;
        e.button.clicks = 1;
        break;
      case 3:
        e.type = SDL_TEXTINPUT;
        SDL_strlcpy(e.text.text, "a", sizeof e.text.text);
        break;
      default:
        e.type = SDL_CONTROLLERAXISMOTION;
        e.caxis.axis = SDL_CONTROLLER_AXIS_LEFTX;
        e.caxis.value = -32768;
        break;
    }
    if (SDL_PushEvent(&e) != 1) die(std::string("SDL_PushEvent: ") + SDL_GetError());
  }
}

// Reads, into a sink, every field that poll copies into its table.
void read_fields(const SDL_Event& e, volatile Sint64& sink) {
  Sint64 v = e.type + e.cbutton.button + e.cbutton.state + static_cast<Sint32>(e.cbutton.which) +
             static_cast<Sint32>(e.cbutton.timestamp);
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      v += e.key.keysym.sym + e.key.keysym.scancode + e.key.keysym.mod + static_cast<Sint32>(e.key.windowID) +
           e.key.state + e.key.repeat + static_cast<Sint32>(e.key.timestamp);
      break;
    case SDL_TEXTINPUT:
      v += static_cast<Sint32>(e.text.windowID) + static_cast<Sint64>(SDL_strlen(e.text.text)) +
           static_cast<Sint32>(e.text.timestamp);
      break;
    case SDL_CONTROLLERAXISMOTION:
      v += e.caxis.axis + e.caxis.value + e.caxis.which + static_cast<Sint32>(e.caxis.timestamp);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      v += e.button.button + static_cast<Sint32>(e.button.which) + e.button.x + e.button.y +
           static_cast<Sint32>(e.button.windowID) + e.button.state + e.button.clicks +
           static_cast<Sint32>(e.button.timestamp);
      break;
    case SDL_MOUSEMOTION:
      v += e.motion.x + e.motion.y + e.motion.xrel + e.motion.yrel + static_cast<Sint32>(e.motion.which) +
           static_cast<Sint32>(e.motion.state) + static_cast<Sint32>(e.motion.windowID) +
           static_cast<Sint32>(e.motion.timestamp);
      break;
    default:
      break;
  }
  sink = sink + v;
}

void bench_events(lua_State* L) {
  const int total = kEvents * g_scale;
  const std::string drain = "local poll, n, want = orbix.poll, 0, " + std::to_string(kBatch) + "\n"
                            "while n < want do\n"
                            "  local e = poll()\n"
                            "  if e then n = n + 1; local _ = e.type end\n"
                            "end\n";
  auto lua_run = [&] {
    double sum = 0;
    for (int done = 0; done < total; done += kBatch) {
      SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
      push_batch(kBatch);
      sum += time_lua(L, drain);
    }
    return sum;
  };
  volatile Sint64 sink = 0;
  auto c_run = [&] {
    double sum = 0;
    for (int done = 0; done < total; done += kBatch) {
      SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
      push_batch(kBatch);
      sum += time_c([&] {
        SDL_Event e;
        for (int n = 0; n < kBatch;) {
          if (SDL_PollEvent(&e)) {
            read_fields(e, sink);
            ++n;
          }
        }
      });
    }
    return sum;
  };
  double lua_s = best_of(lua_run);
  double c_s = best_of(c_run);
  report("(c) poll, 100,000 pushed events", "Lua (orbix.poll)", lua_s, "C (SDL_PollEvent)", c_s);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) die("usage: bench_orbix <path of orbix.so> [scale]");
  if (argc > 2) g_scale = std::max(1, std::atoi(argv[2]));
  const std::string module_path = argv[1];

  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_getglobal(L, "package");
  lua_pushstring(L, (module_path.substr(0, module_path.rfind('/') + 1) + "?.so").c_str());
  lua_setfield(L, -2, "cpath");
  lua_pop(L, 1);
  lua_register(L, "noop_get", noop_get);
  lua_register(L, "noop_set", noop_set);

  // The objects both sides use: a window with its renderer, a 16x16 sprite
  // texture and a 512x512 RGBA surface.
  time_lua(L,
           "orbix = require 'orbix'\n"
           "assert(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS) == 0, orbix.GetError())\n"
           "local st\n"
           "win, ren, st = orbix.CreateWindowAndRenderer(320, 240, 0)\n"
           "assert(st == 0, orbix.GetError())\n"
           "local s16 = orbix.CreateRGBSurfaceWithFormat(0, 16, 16, 32, orbix.PIXELFORMAT_RGBA32)\n"
           "orbix.surface_fill_rect(s16, nil, 200, 100, 50, 255)\n"
           "sprite = assert(orbix.CreateTextureFromSurface(ren, s16))\n"
           "surf = orbix.CreateRGBSurfaceWithFormat(0, 512, 512, 32, orbix.PIXELFORMAT_RGBA32)\n");

  // The same library that require loaded (already open: this only finds it).
  void* module = dlopen(module_path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!module) die("orbix is not loaded from " + module_path);

  std::printf("orbix benchmarks (SDL video driver %s, renderer on a 320x240 window, scale %d)\n",
              SDL_GetCurrentVideoDriver(), g_scale);
  bench_drawing(L);
  bench_pixels(L, module);
  bench_events(L);

  time_lua(L, "orbix.DestroyWindow(win); orbix.Quit()");
  dlclose(module);
  lua_close(L);
  return 0;
}
