// Out-of-memory harness: every function of orbix, lua_fsop and setvar in a
// realistic call (oom_cases.lua), in a fresh Lua state whose allocator fails
// every allocation from the k-th of the call on, for k = 0, 1, 2, ... until
// the call succeeds. Lua retries a failed allocation once after an emergency
// collection, so failing a single allocation would be masked: every later
// one fails too. The same is done with the C++ heap (operator new), which
// the modules' side tables use. Each run must end with a result or Lua's
// memory error, never a crash (AddressSanitizer) or another error; the state
// is closed after each run, and then no window may be left and no game
// controller open. LeakSanitizer checks the rest when the program ends.
//
//   oom_harness <oom_cases.lua> [name]    only the calls whose name starts
//                                         with `name` (to look into one)
#include <SDL.h>
#include <lua.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "virtual_pad.hpp"

namespace {

// --- the failing allocators ----------------------------------------------------

enum class Heap { None, Lua, Cxx };

struct Budget {
  Heap heap = Heap::None;  // which heap fails, while a call runs
  long seen = 0;           // allocations of that heap since the call began
  long fail_from = 0;      // the first one to fail
  long failed = 0;         // how many were refused
};
Budget g_budget;

bool refuse(Heap heap) {
  if (g_budget.heap != heap) return false;
  if (g_budget.seen++ < g_budget.fail_from) return false;
  ++g_budget.failed;
  return true;
}

void* lua_allocator(void*, void* block, size_t old_size, size_t new_size) {
  if (new_size == 0) {
    std::free(block);
    return nullptr;
  }
  // Lua relies on shrinking never failing; only growth can run out.
  const bool grows = !block || new_size > old_size;
  if (grows && refuse(Heap::Lua)) return nullptr;
  return std::realloc(block, new_size);
}

void* cxx_allocate(size_t size) {
  if (refuse(Heap::Cxx)) throw std::bad_alloc();
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

// The program's own operator new and delete replace the library's for the
// whole process, modules included (their side tables allocate through them).
void* operator new(size_t size) { return cxx_allocate(size); }
void* operator new[](size_t size) { return cxx_allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return cxx_allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// --- what the cases may ask of the harness --------------------------------------

std::vector<int> g_pads;  // device indices of attached virtual controllers

// attach_pad() -> device index: a virtual game controller (test machines
// have no device). Detached after the run.
int l_attach_pad(lua_State* L) {
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return luaL_error(L, "%s", SDL_GetError());
  SDL_VirtualJoystickDesc desc = controller_pad("oom pad");
  const int device = SDL_JoystickAttachVirtualEx(&desc);
  if (device < 0) return luaL_error(L, "%s", SDL_GetError());
  g_pads.push_back(device);
  lua_pushinteger(L, device);
  return 1;
}

// push_key_event(): a key press waiting in SDL's queue for poll.
int l_push_key_event(lua_State* L) {
  SDL_Event e;
  SDL_zero(e);
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = SDLK_a;
  e.key.keysym.scancode = SDL_SCANCODE_A;
  lua_pushboolean(L, SDL_PushEvent(&e) == 1);
  return 1;
}

// push_text_event(text): text input waiting in SDL's queue for poll.
int l_push_text_event(lua_State* L) {
  SDL_Event e;
  SDL_zero(e);
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, luaL_checkstring(L, 1), sizeof e.text.text - 1);
  lua_pushboolean(L, SDL_PushEvent(&e) == 1);
  return 1;
}

// --- the runs --------------------------------------------------------------------

struct Tally {
  long runs = 0;
  long refused = 0;
  long problems = 0;
};

void problem(Tally& tally, const std::string& what) {
  ++tally.problems;
  std::printf("FAIL %s\n", what.c_str());
  std::fflush(stdout);
}

// A fresh state with the libraries, the modules' path and the harness's
// functions, and the case file's two results on top: the names of the calls
// and the function that prepares one. False (with the reason) on failure.
bool open_cases(lua_State* L, const char* cases, std::string& why) {
  luaL_openlibs(L);
  lua_getglobal(L, "package");
  lua_pushstring(L, ORBIX_CPATH);
  lua_setfield(L, -2, "cpath");
  lua_pop(L, 1);
  lua_register(L, "attach_pad", l_attach_pad);
  lua_register(L, "push_key_event", l_push_key_event);
  lua_register(L, "push_text_event", l_push_text_event);
  if (luaL_loadfile(L, cases) != LUA_OK || lua_pcall(L, 0, 2, 0) != LUA_OK) {
    why = lua_tostring(L, -1);
    return false;
  }
  return true;
}

// The names of the calls, from a state of their own.
std::vector<std::string> case_names(const char* cases) {
  std::vector<std::string> names;
  lua_State* L = luaL_newstate();
  std::string why;
  if (open_cases(L, cases, why)) {
    for (lua_Integer i = 1; lua_rawgeti(L, -2, i) == LUA_TSTRING; ++i) {
      names.push_back(lua_tostring(L, -1));
      lua_pop(L, 1);
    }
  } else {
    std::printf("FAIL %s\n", why.c_str());
  }
  lua_close(L);
  return names;
}

// Windows SDL still has once the run's state is closed: SDL numbers windows
// upwards, so a probe window's number bounds every window made before it.
Uint32 g_first_unchecked_window = 1;
void check_windows(Tally& tally, const std::string& run) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Window* probe = SDL_CreateWindow("probe", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
  if (!probe) return;
  const Uint32 probe_id = SDL_GetWindowID(probe);
  for (Uint32 id = g_first_unchecked_window; id < probe_id; ++id)
    if (SDL_GetWindowFromID(id)) problem(tally, run + ": a window outlived the Lua state");
  SDL_DestroyWindow(probe);
  g_first_unchecked_window = probe_id + 1;
}

void check_and_detach_pads(Tally& tally, const std::string& run) {
  for (int device : g_pads) {
    if (!SDL_WasInit(SDL_INIT_JOYSTICK)) break;
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
    if (id >= 0 && SDL_JoystickFromInstanceID(id)) problem(tally, run + ": a game controller outlived the Lua state");
    SDL_JoystickDetachVirtual(device);
  }
  g_pads.clear();
}

// Runs call `index` (1-based) with `heap` failing from allocation `k` on.
// True when the call failed for want of memory, so the next k is needed.
bool run_once(const char* cases, int index, const std::string& name, Heap heap, long k, Tally& tally) {
  lua_State* L = lua_newstate(lua_allocator, nullptr);
  std::string why;
  bool more = false;
  if (!open_cases(L, cases, why)) {
    problem(tally, name + ": " + why);
  } else {
    // The preparing function stays on the stack: what it keeps (the window of
    // a renderer, say) must outlive the call.
    lua_pushvalue(L, -1);
    lua_pushinteger(L, index);
    if (lua_pcall(L, 1, 1, 0) != LUA_OK) {
      problem(tally, name + " could not be prepared: " + lua_tostring(L, -1));
    } else {
      lua_gc(L, LUA_GCCOLLECT, 0);  // the preparation's garbage goes before the budget starts
      g_budget = Budget{heap, 0, k, 0};
      const int status = lua_pcall(L, 0, 0, 0);
      const long refused = g_budget.failed;
      g_budget = Budget{};
      ++tally.runs;
      tally.refused += refused;
      if (status != LUA_OK) {
        const std::string run =
            name + (heap == Heap::Lua ? " (Lua heap" : " (C++ heap") + ", failing from " + std::to_string(k) + ")";
        const char* text = lua_tostring(L, -1);
        const std::string message = text ? text : "(no message)";
        if (message.find("not enough memory") == std::string::npos) problem(tally, run + ": raised " + message);
        if (refused == 0) problem(tally, run + ": failed with nothing refused");
        more = refused > 0;
      }
    }
  }
  lua_close(L);
  check_windows(tally, name);
  check_and_detach_pads(tally, name);
  return more;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: oom_harness oom_cases.lua\n");
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  Tally tally;
  const std::vector<std::string> names = case_names(argv[1]);
  int cases = 0;
  for (int index = 1; index <= static_cast<int>(names.size()); ++index) {
    const std::string& name = names[index - 1];
    if (argc > 2 && name.rfind(argv[2], 0) != 0) continue;
    ++cases;
    for (Heap heap : {Heap::Lua, Heap::Cxx}) {
      for (long k = 0; run_once(argv[1], index, name, heap, k, tally); ++k) {
        if (k == 100000) {
          problem(tally, name + ": still failing after 100000 allocations");
          break;
        }
      }
    }
  }
  SDL_Quit();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%d calls, %ld runs, %ld allocations refused, %ld problems, %.1f s\n", cases, tally.runs, tally.refused,
              tally.problems, seconds);
  std::fflush(stdout);  // LeakSanitizer ends the program without flushing
  return tally.problems == 0 && cases > 0 ? 0 : 1;
}
