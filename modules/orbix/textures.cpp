// Textures: creation, copying, modes, and read-back into surfaces.
#include <SDL_image.h>

#include <cmath>

#include "args.hpp"
#include "bindings.hpp"
#include "core/guards.hpp"
#include "handles.hpp"

using namespace orbix;

namespace {

// The read-back surface: texture-sized, 32 bits, bytes R, G, B, A in memory.
SDL_Surface* new_readback_surface(int w, int h) {
  return SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
}

// Reads the current render target into `surface`. Only the surface-sized
// rectangle at the origin is read, so a target larger than the texture never
// writes past the surface (SDL clips the rectangle to the target).
int read_target(SDL_Renderer* renderer, SDL_Surface* surface) {
  SDL_Rect area = {0, 0, surface->w, surface->h};
  return SDL_RenderReadPixels(renderer, &area, surface->format->format, surface->pixels, surface->pitch);
}

int fail(lua_State* L, const char* message) {
  lua_pushnil(L);
  lua_pushstring(L, message);
  return 2;
}

}  // namespace

int l_CreateTextureFromSurface(lua_State* L) {
  SDL_Surface* surface = lua_tosurface(L, 2);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  new_handle(L);
  if (emptied_meanwhile(L, 2, surface) || emptied_meanwhile(L, 1, renderer)) return empty_handle(L, Kind::Texture);
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
  if (!texture) return 0;
  fill_texture(L, -1, texture, renderer);
  return 1;
}

int l_CreateTexture(lua_State* L) {
  int h = arg_i32(L, 5);
  int w = arg_i32(L, 4);
  int access = arg_i32(L, 3);
  Uint32 format = arg_u32(L, 2);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  new_handle(L);
  if (emptied_meanwhile(L, 1, renderer)) return empty_handle(L, Kind::Texture);
  if (!known_pixel_format(format)) {
    SDL_SetError("Unknown pixel format");
    return empty_handle(L, Kind::Texture);
  }
  fill_texture(L, -1, SDL_CreateTexture(renderer, format, access, w, h), renderer);
  return 1;
}

extern "C" int lua_SDL_QueryTexture(lua_State* L) {
  Uint32 format = 0;  // zeros are reported when SDL fails
  int access = 0, w = 0, h = 0;
  int status = SDL_QueryTexture(lua_totexture(L, 1), &format, &access, &w, &h);
  push_u32(L, format);
  push_i32(L, access);
  push_i32(L, w);
  push_i32(L, h);
  push_i32(L, status);
  return 5;
}

int l_RenderCopy(lua_State* L) {
  SDL_Rect src, dst;
  const SDL_Rect* d = lua_torect(L, 4, &dst);
  const SDL_Rect* s = lua_torect(L, 3, &src);
  SDL_Texture* texture = handle_object<SDL_Texture>(L, 2, Kind::Texture);
  return push_i32(L, SDL_RenderCopy(handle_object<SDL_Renderer>(L, 1, Kind::Renderer), texture, s, d));
}

int l_RenderCopyEx(lua_State* L) {
  SDL_Rect src, dst;
  SDL_Point centre;
  const SDL_Rect* s = lua_torect(L, 3, &src);
  const SDL_Rect* d = lua_torect(L, 4, &dst);
  if (get_point(L, 6, &centre) != 0) return luaL_error(L, "Argument 6 must be table");
  // Truncated to 64 bits, low 32 bits kept; a value beyond the 64-bit range
  // has no integer part we could keep and counts as 0.
  double f = luaL_checknumber(L, 7);
  long long flip64 = (f > -9223372036854775808.0 && f < 9223372036854775808.0) ? static_cast<long long>(f) : 0;
  SDL_RendererFlip flip = static_cast<SDL_RendererFlip>(low32_signed(flip64));
  double angle = luaL_checknumber(L, 5);
  SDL_Texture* texture = lua_totexture(L, 2);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  // The software renderer computes a rotated copy's blits in int.
  float sx = 1, sy = 1;
  if (renderer) SDL_RenderGetScale(renderer, &sx, &sy);
  const guards::Area area = d ? guards::Area{d->x, d->y, d->w, d->h} : guards::Area{};
  if (!guards::copy_geometry_in_range(d ? &area : nullptr, centre.x, centre.y, sx, sy)) {
    return push_i32(L, SDL_SetError("Coordinates out of range"));
  }
  if (!std::isfinite(angle)) {
    // The rotated box would have no size or place; the software renderer
    // turned its NaN corners into -2^31 and wrapped the same sums.
    return push_i32(L, SDL_SetError("The angle is not a finite number"));
  }
  return push_i32(L, SDL_RenderCopyEx(renderer, texture, s, d, angle, &centre, flip));
}

extern "C" int lua_SDL_SetTextureBlendMode(lua_State* L) {
  SDL_BlendMode mode = static_cast<SDL_BlendMode>(arg_i32(L, 2));
  return push_i32(L, SDL_SetTextureBlendMode(lua_totexture(L, 1), mode));
}

extern "C" int lua_SDL_GetTextureBlendMode(lua_State* L) {
  SDL_BlendMode mode = SDL_BLENDMODE_INVALID;  // reported when SDL fails
  int status = SDL_GetTextureBlendMode(lua_totexture(L, 1), &mode);
  push_u32(L, static_cast<Uint32>(mode));
  push_i32(L, status);
  return 2;
}

int l_SetTextureAlphaMod(lua_State* L) {
  Uint8 alpha = arg_u8(L, 2);
  return push_i32(L, SDL_SetTextureAlphaMod(lua_totexture(L, 1), alpha));
}

int l_SetTextureScaleMode(lua_State* L) {
  SDL_ScaleMode mode = static_cast<SDL_ScaleMode>(arg_i32(L, 2));
  return push_i32(L, SDL_SetTextureScaleMode(lua_totexture(L, 1), mode));
}

int l_texture_to_surface(lua_State* L) {
  SDL_Texture* texture = lua_totexture(L, 2);
  int w = 0, h = 0;
  if (SDL_QueryTexture(texture, nullptr, nullptr, &w, &h) < 0) return fail(L, "QueryTexture failed");
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  new_handle(L);
  if (emptied_meanwhile(L, 1, renderer)) return empty_handle(L, Kind::Surface);
  SDL_Surface* surface = new_readback_surface(w, h);
  if (!surface) return fail(L, "SDL_CreateRGBSurface failed");
  if (read_target(renderer, surface) < 0) {
    SDL_FreeSurface(surface);
    return fail(L, "SDL_RenderReadPixels");
  }
  fill_owned(L, -1, Kind::Surface, surface);
  return 1;
}

int l_save_texture_to_PNG(lua_State* L) {
  const char* file = arg_str(L, 1);
  SDL_Renderer* renderer = lua_torenderer(L, 2);
  SDL_Texture* texture = lua_totexture(L, 3);
  SDL_Texture* previous = SDL_GetRenderTarget(renderer);
  if (SDL_SetRenderTarget(renderer, texture) < 0) return fail(L, "SetRenderTarget failed");
  const char* error = nullptr;
  int w = 0, h = 0;
  SDL_Surface* surface = nullptr;
  if (SDL_QueryTexture(texture, nullptr, nullptr, &w, &h) < 0) {
    error = "QueryTexture failed";
  } else if (!(surface = new_readback_surface(w, h))) {
    error = "SDL_CreateRGBSurface failed";
  } else if (read_target(renderer, surface) < 0) {
    error = "SDL_RenderReadPixels";
  } else if (IMG_SavePNG(surface, file) < 0) {
    error = "IMG_SavePNG";
  }
  SDL_FreeSurface(surface);
  SDL_SetRenderTarget(renderer, previous);
  if (error) return fail(L, error);
  return push_bool(L, 1);
}
