// orbix benchmarks: the module's bindings, driven from Lua, against the same
// work done in C (or by a no-op binding, or by a peer runtime) in the same
// run and on the same SDL objects.
//
//   drawing  RenderCopy of a 16x16 texture, filledcircleRGBA (radius 8),
//            lineRGBA and a mix of five primitives, each against the same C
//            loop over SDL / SDL2_gfx;
//   pixels   get_surface_rgba / set_surface_rgba over a 512x512 surface of
//            four formats, each against a no-op binding that takes the same
//            arguments and gives the same number of results, and against a
//            C loop over the module's exported pixel functions;
//   peer     a read-modify-write loop over every pixel of a 512x512 RGBA
//            surface against the same loop in a peer runtime (a command that
//            takes a number of passes as its last argument and prints
//            "ms <time>" for each; run.sh passes LOVE's);
//   events   poll over pushed events against a C loop that builds the same
//            tables with the same fields through the Lua C API.
//
// Every comparison runs in rounds; each round times the subject and its
// baseline back to back (alternating which goes first; the peer's passes are
// timed in its own process beforehand), and the figures are
// the medians over the rounds: the two times, and the rate ratio (baseline
// time / subject time, so 0.9 means the subject runs at 90% of the
// baseline's rate). Where a goal applies the line says whether it is met.
//
// The Lua side runs in a state of our own that loads the built orbix module
// with require; the C side reaches the module's SDL objects through the
// handles (a handle's block is the object pointer). Run by run.sh; never by
// ctest.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <dlfcn.h>
#include <lua.hpp>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(label) ((void)(label))
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  int scale = 1;     // multiplies every loop count
  int rounds = 7;    // rounds per comparison (medians of at least 5)
  std::string only;  // run the comparisons whose name contains this
  std::string peer;  // command running the peer's read-modify-write loop
};
Options g_opt;

int g_missed = 0;  // goals missed in this run

[[noreturn]] void die(const std::string& what) {
  std::fprintf(stderr, "bench_orbix: %s\n", what.c_str());
  std::exit(1);
}

std::string str(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}
std::string str(int v) { return std::to_string(v); }

bool selected(const std::string& name) { return g_opt.only.empty() || name.find(g_opt.only) != std::string::npos; }

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

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Goal {
  double min_rate;  // the subject's rate must reach this share of the baseline's
  bool strictly;    // "faster than": the rate must exceed it
};
constexpr Goal kNoGoal = {0, false};

// Runs one side. Under callgrind (count.sh) each side's instructions are
// dumped on their own, labelled "<comparison>|<side>|<goal>".
double run_side(const std::string& name, const char* side, Goal goal, const std::function<double()>& body) {
  CALLGRIND_ZERO_STATS;
  double t = body();
  std::string label =
      name + "|" + side + "|" + (goal.min_rate > 0 ? (goal.strictly ? ">" : ">=") + str(goal.min_rate) : "");
  CALLGRIND_DUMP_STATS_AT(label.c_str());
  return t;
}

// Times `subject` and `baseline` (each returns seconds, or a negative value
// when it could not run) over the rounds and prints one line.
void compare(const std::string& name, const char* subject_side, const std::function<double()>& subject,
             const char* base_side, const std::function<double()>& baseline, Goal goal) {
  std::vector<double> s, b, rate;
  for (int r = 0; r < g_opt.rounds; ++r) {
    double ts, tb;
    if (r % 2 == 0) {
      ts = run_side(name, "subject", goal, subject);
      tb = run_side(name, "baseline", goal, baseline);
    } else {
      tb = run_side(name, "baseline", goal, baseline);
      ts = run_side(name, "subject", goal, subject);
    }
    if (ts <= 0 || tb <= 0) {
      std::printf("%-33s %s could not run; not measured\n", name.c_str(), ts <= 0 ? subject_side : base_side);
      if (goal.min_rate > 0) std::printf("%-33s goal not measured\n", name.c_str());
      return;
    }
    s.push_back(ts);
    b.push_back(tb);
    rate.push_back(tb / ts);
  }
  double r = median(rate);
  std::printf("%-33s %-18s %8.2f ms  %-20s %8.2f ms  rate %5.2f", name.c_str(), subject_side, median(s) * 1e3,
              base_side, median(b) * 1e3, r);
  if (goal.min_rate > 0) {
    bool met = goal.strictly ? r > goal.min_rate : r >= goal.min_rate;
    if (!met) ++g_missed;
    std::printf("  goal %s%.2f %s", goal.strictly ? ">" : ">=", goal.min_rate, met ? "met" : "MISSED");
  }
  std::printf("\n");
  std::fflush(stdout);
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

// No-op bindings: the same arguments as the measured ones and as many
// results, no work.
int noop_get(lua_State* L) {
  for (int i = 0; i < 4; ++i) lua_pushinteger(L, 0);
  return 4;
}
int noop_set(lua_State*) { return 0; }

// Unchecked bindings: what any binding of these functions costs at the
// least through the Lua C API. They read their arguments with one API call
// each and no checks at all (a wrong argument would crash them), then do the
// binding's work, so a row comparing one with its baseline shows the highest
// rate a Lua loop can reach there: the rest is the interpreter's.
template <typename T>
T* unchecked_object(lua_State* L, int i) {
  return *static_cast<T**>(lua_touserdata(L, i));
}
Sint16 unchecked_i16(lua_State* L, int i) { return static_cast<Sint16>(lua_tointegerx(L, i, nullptr)); }
Uint8 unchecked_u8(lua_State* L, int i) { return static_cast<Uint8>(lua_tointegerx(L, i, nullptr)); }

int unchecked_copy(lua_State* L) {
  SDL_Rect dst;
  int* fields[] = {&dst.x, &dst.y, &dst.w, &dst.h};
  for (int i = 0; i < 4; ++i) {
    lua_geti(L, 4, i + 1);
    *fields[i] = static_cast<int>(lua_tointegerx(L, -1, nullptr));
  }
  lua_pop(L, 4);
  lua_pushinteger(
      L, SDL_RenderCopy(unchecked_object<SDL_Renderer>(L, 1), unchecked_object<SDL_Texture>(L, 2), nullptr, &dst));
  return 1;
}

int unchecked_circle(lua_State* L) {
  lua_pushinteger(L, filledCircleRGBA(unchecked_object<SDL_Renderer>(L, 1), unchecked_i16(L, 2), unchecked_i16(L, 3),
                                      unchecked_i16(L, 4), unchecked_u8(L, 5), unchecked_u8(L, 6), unchecked_u8(L, 7),
                                      unchecked_u8(L, 8)));
  return 1;
}

int unchecked_line(lua_State* L) {
  lua_pushinteger(
      L, lineRGBA(unchecked_object<SDL_Renderer>(L, 1), unchecked_i16(L, 2), unchecked_i16(L, 3), unchecked_i16(L, 4),
                  unchecked_i16(L, 5), unchecked_u8(L, 6), unchecked_u8(L, 7), unchecked_u8(L, 8), unchecked_u8(L, 9)));
  return 1;
}

// RGBA32 only.
int unchecked_get(lua_State* L) {
  SDL_Surface* s = unchecked_object<SDL_Surface>(L, 1);
  int x = static_cast<int>(lua_tointegerx(L, 2, nullptr));
  int y = static_cast<int>(lua_tointegerx(L, 3, nullptr));
  const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * 4;
  for (int i = 0; i < 4; ++i) lua_pushinteger(L, p[i]);
  return 4;
}

int unchecked_set(lua_State* L) {
  SDL_Surface* s = unchecked_object<SDL_Surface>(L, 1);
  Uint8 c[4];
  for (int i = 0; i < 4; ++i) c[i] = unchecked_u8(L, 4 + i);
  int y = static_cast<int>(lua_tointegerx(L, 3, nullptr));
  int x = static_cast<int>(lua_tointegerx(L, 2, nullptr));
  std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4, c, 4);
  return 0;
}

// --- drawing -------------------------------------------------------------------

constexpr int kDrawCalls = 100000;
constexpr int kPrimitiveRounds = 20000;  // each round: five primitives
constexpr int kFlushEvery = 500;         // RenderPresent keeps the command queue short

// A Lua loop of `calls` iterations whose body is `body` (x and y vary with
// i), presenting every kFlushEvery calls, and the C loop doing the same.
std::string draw_loop(const std::string& setup, int calls, const std::string& body) {
  return "local o, ren, sprite = orbix, ren, sprite\n" + setup + "\nfor i = 1, " + str(calls) +
         " do\n  local x, y = i % 300, i % 200\n  " + body + "\n  if i % " + str(kFlushEvery) +
         " == 0 then o.RenderPresent(ren) end\nend\no.RenderPresent(ren)\n";
}

template <typename Draw>
double c_draw_loop(SDL_Renderer* ren, int calls, Draw draw) {
  return time_c([&] {
    for (int i = 1; i <= calls; ++i) {
      draw(i % 300, i % 200);
      if (i % kFlushEvery == 0) SDL_RenderPresent(ren);
    }
    SDL_RenderPresent(ren);
  });
}

void bench_drawing(lua_State* L) {
  SDL_Renderer* ren = handle<SDL_Renderer>(L, "ren");
  SDL_Texture* sprite = handle<SDL_Texture>(L, "sprite");
  const int calls = kDrawCalls * g_opt.scale;
  // One goal: the orbix loop against the C loop; then, for what bounds it,
  // the same Lua loop over an unchecked binding against the C loop.
  auto goal = [&](const std::string& name, const std::string& setup, const std::string& body,
                  const std::string& unchecked_setup, const char* c_side, const std::function<double()>& c_loop) {
    if (!selected(name)) return;
    std::string lua = draw_loop(setup, calls, body);
    std::string unchecked = draw_loop(unchecked_setup, calls, body);
    compare(name, "Lua (orbix)", [&] { return time_lua(L, lua); }, c_side, c_loop, {0.9, false});
    compare(
        name + " bound", "Lua (unchecked)", [&] { return time_lua(L, unchecked); }, c_side, c_loop, kNoGoal);
  };

  SDL_Rect dst = {0, 0, 16, 16};
  goal("copy16 RenderCopy 16x16", "local copy, dst = o.RenderCopy, {0, 0, 16, 16}",
       "dst[1], dst[2] = x, y\n  copy(ren, sprite, nil, dst)", "local copy, dst = unchecked_copy, {0, 0, 16, 16}",
       "C (SDL)", [&] {
         return c_draw_loop(ren, calls, [&](int x, int y) {
           dst.x = x;
           dst.y = y;
           SDL_RenderCopy(ren, sprite, nullptr, &dst);
         });
       });
  goal("circle8 filledcircleRGBA r8", "local circle = o.filledcircleRGBA", "circle(ren, x, y, 8, 255, 255, 0, 255)",
       "local circle = unchecked_circle", "C (SDL2_gfx)", [&] {
         return c_draw_loop(ren, calls, [&](int x, int y) {
           filledCircleRGBA(ren, static_cast<Sint16>(x), static_cast<Sint16>(y), 8, 255, 255, 0, 255);
         });
       });
  goal("line lineRGBA", "local line = o.lineRGBA", "line(ren, x, y, x + 20, y + 10, 0, 255, 0, 255)",
       "local line = unchecked_line", "C (SDL2_gfx)", [&] {
         return c_draw_loop(ren, calls, [&](int x, int y) {
           lineRGBA(ren, static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Sint16>(x + 20),
                    static_cast<Sint16>(y + 10), 0, 255, 0, 255);
         });
       });
  if (selected("prims5")) {
    const int rounds = kPrimitiveRounds * g_opt.scale;
    std::string lua = draw_loop(
        "local pixel, line, box, circle, hline = o.pixelRGBA, o.lineRGBA, o.boxRGBA, o.filledcircleRGBA, "
        "o.hlineRGBA",
        rounds,
        "x, y = i % 200, i % 150\n"
        "  pixel(ren, x, y, 255, 0, 0, 255)\n"
        "  line(ren, x, y, x + 20, y + 10, 0, 255, 0, 255)\n"
        "  box(ren, x, y, x + 8, y + 8, 0, 0, 255, 255)\n"
        "  circle(ren, x + 30, y + 30, 6, 255, 255, 0, 255)\n"
        "  hline(ren, x, x + 40, y + 3, 0, 255, 255, 255)");
    compare(
        "prims5 five primitives", "Lua (orbix)", [&] { return time_lua(L, lua); }, "C (SDL2_gfx)",
        [&] {
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
        },
        kNoGoal);
  }
}

// --- pixels --------------------------------------------------------------------

// A C loop over every pixel, each visited as the bindings do: locked around
// the access when SDL requires it.
template <typename Body>
double c_pixels(SDL_Surface* s, Body body) {
  return time_c([&] {
    for (int p = 0; p < g_opt.scale; ++p)
      for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
          bool locked = SDL_MUSTLOCK(s);
          if (locked) SDL_LockSurface(s);
          body(x, y);
          if (locked) SDL_UnlockSurface(s);
        }
  });
}

using GetPixelFn = Uint32 (*)(SDL_Surface*, int, int);
using SetPixelFn = void (*)(SDL_Surface*, int, int, Uint8, Uint8, Uint8, Uint8);

struct PixelFormatCase {
  const char* name;    // short name in the comparison's name
  const char* global;  // the surface's global in the Lua state
  // Colour arguments of set_surface_rgba as Lua expressions of x and y,
  // and what the loop computes for them first (the same in both loops).
  const char* colour;
  const char* prepare;
};

// The 8-bit surface has a grey ramp for a palette, and its loop writes the
// palette's own colours, as a script drawing into a palette image does;
// writing arbitrary colours (each mapped to the nearest palette entry) is
// measured on its own line.
const PixelFormatCase kFormats[] = {
    {"rgba32", "s_rgba32", "x, y, 7, 255", ""},
    {"argb8888", "s_argb8888", "x, y, 7, 255", ""},
    {"rgb24", "s_rgb24", "x, y, 7, 255", ""},
    {"index8", "s_index8", "v, v, v, 255", "local v = (x + y) & 255; "},
};

std::string pixel_loop(const std::string& fn, const char* surface, const std::string& body) {
  return "local f, s = " + fn + ", " + surface + "\nfor _ = 1, " + str(g_opt.scale) +
         " do\n  for y = 0, 511 do for x = 0, 511 do " + body + " end end\nend\n";
}

void bench_pixels(lua_State* L, void* module) {
  auto get_pixel = reinterpret_cast<GetPixelFn>(dlsym(module, "GetPixel"));
  auto set_pixel = reinterpret_cast<SetPixelFn>(dlsym(module, "set_surface_rgba"));
  if (!get_pixel || !set_pixel) die("orbix does not export GetPixel / set_surface_rgba");
  volatile Uint32 sink = 0;
  // One goal: orbix.<fn> against the no-op binding; with `bound`, also the
  // same loop over the unchecked binding against the no-op. Returns the
  // orbix loop.
  auto noop_goal = [&](const std::string& name, const std::string& fn, const char* surface, const std::string& body,
                       bool bound) {
    const std::string kind = fn.substr(0, 3);  // get / set
    std::string lua = pixel_loop("orbix." + fn, surface, body);
    std::string noop = pixel_loop("noop_" + kind, surface, body);
    compare(
        name + " " + fn, "Lua (orbix)", [&] { return time_lua(L, lua); }, "Lua (no-op binding)",
        [&] { return time_lua(L, noop); }, {0.8, false});
    if (bound) {
      std::string unchecked = pixel_loop("unchecked_" + kind, surface, body);
      compare(
          name + " bound", "Lua (unchecked)", [&] { return time_lua(L, unchecked); }, "Lua (no-op binding)",
          [&] { return time_lua(L, noop); }, kNoGoal);
    }
    return lua;
  };

  for (const PixelFormatCase& fc : kFormats) {
    SDL_Surface* s = handle<SDL_Surface>(L, fc.global);
    const std::string get_body = "local r, g, b, a = f(s, x, y)";
    const std::string set_body = std::string(fc.prepare) + "f(s, x, y, " + fc.colour + ")";
    const bool rgba32 = fc.name == std::string("rgba32");
    std::string name = std::string("get.") + fc.name;
    if (selected(name)) {
      std::string lua = noop_goal(name, "get_surface_rgba", fc.global, get_body, rgba32);
      compare(
          name + " vs C", "Lua (orbix)", [&] { return time_lua(L, lua); }, "C (exported GetPixel)",
          [&] {
            // What the binding does per pixel, minus Lua.
            return c_pixels(s, [&](int x, int y) {
              Uint32 pixel = get_pixel(s, x, y);
              Uint8 r = 0, g = 0, b = 0, a = 0;
              Uint32 key;
              if (!(SDL_HasColorKey(s) && SDL_GetColorKey(s, &key) == 0 && key == pixel))
                SDL_GetRGBA(pixel, s->format, &r, &g, &b, &a);
              sink = sink + r + g + b + a;
            });
          },
          kNoGoal);
    }
    name = std::string("set.") + fc.name;
    if (selected(name)) {
      std::string lua = noop_goal(name, "set_surface_rgba", fc.global, set_body, rgba32);
      const bool palette = s->format->palette != nullptr;
      compare(
          name + " vs C", "Lua (orbix)", [&] { return time_lua(L, lua); }, "C (exported setter)",
          [&] {
            return c_pixels(s, [&](int x, int y) {
              Uint8 v = static_cast<Uint8>(x + y);
              if (palette) set_pixel(s, x, y, v, v, v, 255);
              else set_pixel(s, x, y, static_cast<Uint8>(x), static_cast<Uint8>(y), 7, 255);
            });
          },
          kNoGoal);
    }
  }

  // Arbitrary colours into the palette surface: each is mapped to its
  // nearest palette entry. No goal; shown for what a script pays there.
  if (selected("set.index8.nearest")) {
    const std::string body = "f(s, x, y, x, y, 7, 255)";
    std::string lua = pixel_loop("orbix.set_surface_rgba", "s_index8", body);
    std::string noop = pixel_loop("noop_set", "s_index8", body);
    compare(
        "set.index8.nearest", "Lua (orbix)", [&] { return time_lua(L, lua); }, "Lua (no-op binding)",
        [&] { return time_lua(L, noop); }, kNoGoal);
  }
}

// --- peer: read-modify-write ---------------------------------------------------

// Runs the peer command for `passes` timed passes; their times in seconds
// (fewer when it could not run).
std::vector<double> run_peer(int passes) {
  std::vector<double> times;
  FILE* p = popen((g_opt.peer + " " + str(passes)).c_str(), "r");
  if (!p) return times;
  char line[256];
  while (std::fgets(line, sizeof line, p)) {
    double ms;
    if (std::sscanf(line, "ms %lf", &ms) == 1 && ms > 0) times.push_back(ms / 1e3);
  }
  if (pclose(p) != 0) times.clear();
  return times;
}

void bench_peer(lua_State* L) {
  if (!selected("rmw")) return;
  const std::string lua =
      "local get, set, s = orbix.get_surface_rgba, orbix.set_surface_rgba, s_rgba32\n"
      "for y = 0, 511 do for x = 0, 511 do\n"
      "  local r, g, b, a = get(s, x, y)\n"
      "  set(s, x, y, 255 - r, g, b, a)\n"
      "end end\n";
  const std::string noop =
      "local get, set, s = noop_get, noop_set, s_rgba32\n"
      "for y = 0, 511 do for x = 0, 511 do\n"
      "  local r, g, b, a = get(s, x, y)\n"
      "  set(s, x, y, 255 - r, g, b, a)\n"
      "end end\n";
  compare(
      "rmw.rgba32 512x512", "Lua (orbix)", [&] { return time_lua(L, lua); }, "Lua (no-op bindings)",
      [&] { return time_lua(L, noop); }, kNoGoal);
  if (g_opt.peer.empty()) {
    std::printf("%-33s no peer runtime given; goal not measured\n", "rmw.peer");
    return;
  }
  // Each side makes an untimed pass and then its timed passes back to back,
  // the peer in its own process: passes alternating with the peer's process
  // start ran here at half speed after each wait, on the machines we
  // measured on.
  const std::vector<double> peer = run_peer(g_opt.rounds);
  if (peer.size() < static_cast<size_t>(g_opt.rounds)) {
    std::printf("%-33s the peer runtime could not start (%s); goal not measured\n", "rmw.peer", g_opt.peer.c_str());
    return;
  }
  time_lua(L, lua);
  size_t next = 0;
  compare(
      "rmw.peer 512x512", "Lua (orbix)", [&] { return time_lua(L, lua); }, "peer (LOVE, JIT off)",
      [&] { return peer[next++]; }, {1.0, true});
}

// --- events --------------------------------------------------------------------

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

// The table poll makes, built the way a C programmer would write it: sized
// for its fields, every field set once by name.
void set_int(lua_State* L, const char* key, lua_Integer v) {
  lua_pushinteger(L, v);
  lua_setfield(L, -2, key);
}

void push_event_table(lua_State* L, const SDL_Event& e) {
  auto i32 = [](Uint32 v) { return static_cast<lua_Integer>(static_cast<Sint32>(v)); };
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      lua_createtable(L, 0, 10);
      set_int(L, "type", e.type);
      set_int(L, "button", e.cbutton.button);
      set_int(L, "which", i32(e.cbutton.which));
      set_int(L, "sym", e.key.keysym.sym);
      set_int(L, "scancode", e.key.keysym.scancode);
      set_int(L, "mod", e.key.keysym.mod);
      set_int(L, "windowID", i32(e.key.windowID));
      set_int(L, "state", e.key.state);
      set_int(L, "repeat", e.key.repeat);
      set_int(L, "timestamp", i32(e.key.timestamp));
      break;
    case SDL_TEXTINPUT:
      lua_createtable(L, 0, 7);
      set_int(L, "type", e.type);
      set_int(L, "button", e.cbutton.button);
      set_int(L, "state", e.cbutton.state);
      set_int(L, "which", i32(e.cbutton.which));
      set_int(L, "windowID", i32(e.text.windowID));
      lua_pushlstring(L, e.text.text, strnlen(e.text.text, sizeof e.text.text - 1));
      lua_setfield(L, -2, "text");
      set_int(L, "timestamp", i32(e.text.timestamp));
      break;
    case SDL_CONTROLLERAXISMOTION:
      lua_createtable(L, 0, 7);
      set_int(L, "type", e.type);
      set_int(L, "button", e.cbutton.button);
      set_int(L, "state", e.cbutton.state);
      set_int(L, "axis", e.caxis.axis);
      set_int(L, "value", e.caxis.value);
      set_int(L, "which", e.caxis.which);
      set_int(L, "timestamp", i32(e.caxis.timestamp));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      lua_createtable(L, 0, 9);
      set_int(L, "type", e.type);
      set_int(L, "button", e.button.button);
      set_int(L, "which", i32(e.button.which));
      set_int(L, "x", e.button.x);
      set_int(L, "y", e.button.y);
      set_int(L, "windowID", i32(e.button.windowID));
      set_int(L, "state", e.button.state);
      set_int(L, "clicks", e.button.clicks);
      set_int(L, "timestamp", i32(e.button.timestamp));
      break;
    case SDL_MOUSEMOTION:
      lua_createtable(L, 0, 10);
      set_int(L, "type", e.type);
      set_int(L, "button", e.cbutton.button);
      set_int(L, "x", e.motion.x);
      set_int(L, "y", e.motion.y);
      set_int(L, "xrel", e.motion.xrel);
      set_int(L, "yrel", e.motion.yrel);
      set_int(L, "which", i32(e.motion.which));
      set_int(L, "state", i32(e.motion.state));
      set_int(L, "windowID", i32(e.motion.windowID));
      set_int(L, "timestamp", i32(e.motion.timestamp));
      break;
    default:
      lua_createtable(L, 0, 5);
      set_int(L, "type", e.type);
      set_int(L, "button", e.cbutton.button);
      set_int(L, "state", e.cbutton.state);
      set_int(L, "which", i32(e.cbutton.which));
      set_int(L, "timestamp", i32(e.cbutton.timestamp));
      break;
  }
}

void bench_events(lua_State* L) {
  if (!selected("poll")) return;
  const int total = kEvents * g_opt.scale;
  const std::string drain = "local poll, n, want = orbix.poll, 0, " + str(kBatch) +
                            "\n"
                            "while n < want do\n"
                            "  local e = poll()\n"
                            "  if e then n = n + 1; local _ = e.type end\n"
                            "end\n";
  // Each batch is pushed outside the timed part.
  auto batches = [&](const std::function<double()>& drain_batch) {
    double sum = 0;
    for (int done = 0; done < total; done += kBatch) {
      SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
      push_batch(kBatch);
      sum += drain_batch();
    }
    return sum;
  };
  compare(
      "poll 100,000 events", "Lua (orbix.poll)", [&] { return batches([&] { return time_lua(L, drain); }); },
      "C (Lua C API tables)",
      [&] {
        return batches([&] {
          return time_c([&] {
            SDL_Event e;
            for (int n = 0; n < kBatch;) {
              if (SDL_PollEvent(&e)) {
                push_event_table(L, e);
                lua_getfield(L, -1, "type");
                lua_pop(L, 2);
                ++n;
              }
            }
          });
        });
      },
      {0.8, false});
}

void usage() { die("usage: bench_orbix <path of orbix.so> [--scale N] [--rounds N] [--only WORD] [--peer COMMAND]"); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) usage();
  const std::string module_path = argv[1];
  for (int i = 2; i < argc; ++i) {
    std::string a = argv[i];
    if (i + 1 >= argc) usage();
    std::string v = argv[++i];
    if (a == "--scale") g_opt.scale = std::max(1, std::atoi(v.c_str()));
    else if (a == "--rounds") g_opt.rounds = std::max(1, std::atoi(v.c_str()));
    else if (a == "--only") g_opt.only = v;
    else if (a == "--peer") g_opt.peer = v;
    else usage();
  }

  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_getglobal(L, "package");
  lua_pushstring(L, (module_path.substr(0, module_path.rfind('/') + 1) + "?.so").c_str());
  lua_setfield(L, -2, "cpath");
  lua_pop(L, 1);
  lua_register(L, "noop_get", noop_get);
  lua_register(L, "noop_set", noop_set);
  lua_register(L, "unchecked_copy", unchecked_copy);
  lua_register(L, "unchecked_circle", unchecked_circle);
  lua_register(L, "unchecked_line", unchecked_line);
  lua_register(L, "unchecked_get", unchecked_get);
  lua_register(L, "unchecked_set", unchecked_set);
  lua_pushinteger(L, SDL_PIXELFORMAT_ARGB8888);
  lua_setglobal(L, "FORMAT_ARGB8888");
  lua_pushinteger(L, SDL_PIXELFORMAT_RGB24);
  lua_setglobal(L, "FORMAT_RGB24");

  // The objects both sides use: a window with its renderer, a 16x16 sprite
  // texture and 512x512 surfaces of four formats.
  time_lua(L,
           "orbix = require 'orbix'\n"
           "assert(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS) == 0, orbix.GetError())\n"
           "local st\n"
           "win, ren, st = orbix.CreateWindowAndRenderer(320, 240, 0)\n"
           "assert(st == 0, orbix.GetError())\n"
           "local s16 = orbix.CreateRGBSurfaceWithFormat(0, 16, 16, 32, orbix.PIXELFORMAT_RGBA32)\n"
           "orbix.surface_fill_rect(s16, nil, 200, 100, 50, 255)\n"
           "sprite = assert(orbix.CreateTextureFromSurface(ren, s16))\n"
           "local function surface(depth, format)\n"
           "  local s = orbix.CreateRGBSurfaceWithFormat(0, 512, 512, depth, format)\n"
           "  assert(orbix.getSurfaceWidthHeight(s) == 512, orbix.GetError())\n"
           "  return s\n"
           "end\n"
           "s_rgba32 = surface(32, orbix.PIXELFORMAT_RGBA32)\n"
           "s_argb8888 = surface(32, FORMAT_ARGB8888)\n"
           "s_rgb24 = surface(24, FORMAT_RGB24)\n"
           "s_index8 = surface(8, orbix.PIXELFORMAT_INDEX8)\n"
           "local grey = {}\n"
           "for i = 0, 255 do grey[i + 1] = {i, i, i, 255} end\n"
           "orbix.setColors(s_index8, grey)\n");

  // The same library that require loaded (already open: this only finds it).
  void* module = dlopen(module_path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!module) die("orbix is not loaded from " + module_path);

  double load[3] = {0, 0, 0};
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) load[0] = -1;
    std::fclose(f);
  }
  std::printf(
      "orbix benchmarks (SDL video driver %s, renderer on a 320x240 window, scale %d, %d rounds, "
      "load average %.2f)\n",
      SDL_GetCurrentVideoDriver(), g_opt.scale, g_opt.rounds, load[0]);
  std::printf("rate = baseline time / subject time, medians over the rounds\n");
  bench_drawing(L);
  bench_pixels(L, module);
  bench_peer(L);
  bench_events(L);
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &load[0]) != 1) load[0] = -1;
    std::fclose(f);
  }
  std::printf("goals missed: %d (load average at the end %.2f)\n", g_missed, load[0]);

  time_lua(L, "orbix.DestroyWindow(win); orbix.Quit()");
  dlclose(module);
  lua_close(L);
  return 0;
}
