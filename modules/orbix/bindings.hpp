// Every Lua-callable function of the module table, grouped by area in the
// order the module table lists them, one source file per group. Functions
// that are also exported under a C name are declared extern "C" with that
// name; the rest are l_<field>.
#pragma once

#include "orbix.hpp"

// event polling (1) -- events.cpp
int l_poll(lua_State* L);

// window, renderer and core (36) -- video.cpp
int l_Init(lua_State* L);
int l_CreateWindowAndRenderer(lua_State* L);
int l_SetWindowTitle(lua_State* L);
int l_SetWindowIcon(lua_State* L);
int l_SetWindowFullscreen(lua_State* L);
int l_DestroyRenderer(lua_State* L);
int l_DestroyWindow(lua_State* L);
int l_Quit(lua_State* L);
int l_SetRenderDrawColor(lua_State* L);
int l_GetRenderDrawColor(lua_State* L);
int l_RenderClear(lua_State* L);
int l_RenderPresent(lua_State* L);
int l_ShowSimpleMessageBox(lua_State* L);
int l_GetError(lua_State* L);
extern "C" ORBIX_API int lua_SDL_CreateSoftwareRenderer(lua_State* L);
int l_SetWindowSize(lua_State* L);
int l_GetWindowSize(lua_State* L);
int l_GetRenderTarget(lua_State* L);
int l_SetRenderTarget(lua_State* L);
int l_RenderSetScale(lua_State* L);
int l_GetTicks(lua_State* L);
int l_HasClipboardText(lua_State* L);
int l_GetClipboardText(lua_State* L);
int l_SetClipboardText(lua_State* L);
int l_RenderFillRect(lua_State* L);
int l_RenderDrawPoint(lua_State* L);
int l_RenderDrawLine(lua_State* L);
int l_RenderIsClipEnabled(lua_State* L);
int l_RenderSetClipRect(lua_State* L);
int l_RenderGetClipRect(lua_State* L);
extern "C" ORBIX_API int lua_SDL_Delay(lua_State* L);
extern "C" ORBIX_API int lua_SDL_SetRenderDrawBlendMode(lua_State* L);
extern "C" ORBIX_API int lua_SDL_GetRenderDrawBlendMode(lua_State* L);
extern "C" ORBIX_API int lua_SDL_ShowCursor(lua_State* L);
extern "C" ORBIX_API int lua_SDL_GetRelativeMouseMode(lua_State* L);
extern "C" ORBIX_API int lua_SDL_SetRelativeMouseMode(lua_State* L);

// textures (12) -- textures.cpp
int l_CreateTextureFromSurface(lua_State* L);
int l_RenderCopy(lua_State* L);
int l_DestroyTexture(lua_State* L);
int l_save_texture_to_PNG(lua_State* L);
int l_CreateTexture(lua_State* L);
int l_RenderCopyEx(lua_State* L);
int l_SetTextureAlphaMod(lua_State* L);
int l_SetTextureScaleMode(lua_State* L);
int l_texture_to_surface(lua_State* L);
extern "C" ORBIX_API int lua_SDL_QueryTexture(lua_State* L);
extern "C" ORBIX_API int lua_SDL_SetTextureBlendMode(lua_State* L);
extern "C" ORBIX_API int lua_SDL_GetTextureBlendMode(lua_State* L);

// surfaces and pixels (21) -- surfaces.cpp
int l_IMG_Init(lua_State* L);
int l_FreeSurface(lua_State* L);
int l_IMG_Load(lua_State* L);
int l_IMG_Quit(lua_State* L);
int l_IMG_SavePNG(lua_State* L);
int l_getColors(lua_State* L);
int l_setColors(lua_State* L);
int l_getSurfaceWidthHeight(lua_State* L);
int l_MapRGB(lua_State* L);
int l_SetColorKey(lua_State* L);
int l_GetWindowSurface(lua_State* L);
int l_UpdateWindowSurface(lua_State* L);
int l_BlitSurface(lua_State* L);
int l_CreateRGBSurface(lua_State* L);
int l_CreateRGBSurfaceWithFormat(lua_State* L);
int l_surface_fill_rect(lua_State* L);
extern "C" ORBIX_API int lua_get_surface_rgba(lua_State* L);
extern "C" ORBIX_API int lua_set_surface_rgba(lua_State* L);
extern "C" ORBIX_API int lua_SDL_SetSurfaceBlendMode(lua_State* L);
extern "C" ORBIX_API int lua_SDL_GetSurfaceBlendMode(lua_State* L);
extern "C" ORBIX_API int lua_zoomSurface(lua_State* L);

// audio (11) -- audio.cpp
int l_Mix_OpenAudio(lua_State* L);
int l_Mix_LoadMUS(lua_State* L);
int l_Mix_PlayMusic(lua_State* L);
int l_Mix_PlayChannel(lua_State* L);
int l_Mix_LoadWAV(lua_State* L);
int l_Mix_FreeChunk(lua_State* L);
int l_Mix_FreeMusic(lua_State* L);
int l_Mix_CloseAudio(lua_State* L);
int l_Mix_Quit(lua_State* L);
extern "C" ORBIX_API int lua_Mix_FadeOutMusic(lua_State* L);
extern "C" ORBIX_API int lua_Mix_HaltMusic(lua_State* L);

// fonts, controllers and frame-rate manager (12) -- fonts_controllers.cpp
int l_TTF_Init(lua_State* L);
int l_initFramerate(lua_State* L);
int l_setFramerate(lua_State* L);
int l_framerateDelay(lua_State* L);
int l_NumJoysticks(lua_State* L);
int l_GameControllerOpen(lua_State* L);
int l_TTF_OpenFont(lua_State* L);
int l_TTF_RenderText_Solid(lua_State* L);
int l_TTF_RenderText_Blended_Wrapped(lua_State* L);
int l_TTF_SizeText(lua_State* L);
int l_JoystickRumble(lua_State* L);
int l_GameControllerGetJoystick(lua_State* L);

// drawing primitives (17) -- primitives.cpp
int l_circleRGBA(lua_State* L);
int l_stringRGBA(lua_State* L);
int l_filledellipseRGBA(lua_State* L);
int l_aaellipseRGBA(lua_State* L);
int l_ellipseRGBA(lua_State* L);
int l_filledcircleRGBA(lua_State* L);
int l_aacircleRGBA(lua_State* L);
int l_aalineRGBA(lua_State* L);
int l_lineRGBA(lua_State* L);
int l_thickLineRGBA(lua_State* L);
int l_roundedBoxRGBA(lua_State* L);
int l_roundedRectangleRGBA(lua_State* L);
int l_boxRGBA(lua_State* L);
int l_rectangleRGBA(lua_State* L);
int l_vlineRGBA(lua_State* L);
int l_hlineRGBA(lua_State* L);
int l_pixelRGBA(lua_State* L);
