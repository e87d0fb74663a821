// Entry point: builds the module table (constants, functions, then the
// handle metatables) and returns it. Sets no globals.
#include "bindings.hpp"
#include "constants.hpp"
#include "handles.hpp"

namespace {

// Functions in table order. The release functions (DestroyWindow, FreeSurface,
// ...) are the handle types' release routines, see handles.cpp.
const luaL_Reg kFunctions[] = {
    // event polling
    {"poll", l_poll},
    // window, renderer and core
    {"Init", l_Init},
    {"CreateWindowAndRenderer", l_CreateWindowAndRenderer},
    {"SetWindowTitle", l_SetWindowTitle},
    {"SetWindowIcon", l_SetWindowIcon},
    {"SetWindowFullscreen", l_SetWindowFullscreen},
    {"DestroyRenderer", l_DestroyRenderer},
    {"DestroyWindow", l_DestroyWindow},
    {"Quit", l_Quit},
    {"SetRenderDrawColor", l_SetRenderDrawColor},
    {"GetRenderDrawColor", l_GetRenderDrawColor},
    {"RenderClear", l_RenderClear},
    {"RenderPresent", l_RenderPresent},
    {"ShowSimpleMessageBox", l_ShowSimpleMessageBox},
    {"GetError", l_GetError},
    {"CreateSoftwareRenderer", lua_SDL_CreateSoftwareRenderer},
    {"SetWindowSize", l_SetWindowSize},
    {"GetWindowSize", l_GetWindowSize},
    {"GetRenderTarget", l_GetRenderTarget},
    {"SetRenderTarget", l_SetRenderTarget},
    {"RenderSetScale", l_RenderSetScale},
    {"GetTicks", l_GetTicks},
    {"HasClipboardText", l_HasClipboardText},
    {"GetClipboardText", l_GetClipboardText},
    {"SetClipboardText", l_SetClipboardText},
    {"RenderFillRect", l_RenderFillRect},
    {"RenderDrawPoint", l_RenderDrawPoint},
    {"RenderDrawLine", l_RenderDrawLine},
    {"RenderIsClipEnabled", l_RenderIsClipEnabled},
    {"RenderSetClipRect", l_RenderSetClipRect},
    {"RenderGetClipRect", l_RenderGetClipRect},
    {"Delay", lua_SDL_Delay},
    {"SetRenderDrawBlendMode", lua_SDL_SetRenderDrawBlendMode},
    {"GetRenderDrawBlendMode", lua_SDL_GetRenderDrawBlendMode},
    {"ShowCursor", lua_SDL_ShowCursor},
    {"GetRelativeMouseMode", lua_SDL_GetRelativeMouseMode},
    {"SetRelativeMouseMode", lua_SDL_SetRelativeMouseMode},
    // textures
    {"CreateTextureFromSurface", l_CreateTextureFromSurface},
    {"RenderCopy", l_RenderCopy},
    {"DestroyTexture", l_DestroyTexture},
    {"save_texture_to_PNG", l_save_texture_to_PNG},
    {"CreateTexture", l_CreateTexture},
    {"RenderCopyEx", l_RenderCopyEx},
    {"SetTextureAlphaMod", l_SetTextureAlphaMod},
    {"SetTextureScaleMode", l_SetTextureScaleMode},
    {"texture_to_surface", l_texture_to_surface},
    {"QueryTexture", lua_SDL_QueryTexture},
    {"SetTextureBlendMode", lua_SDL_SetTextureBlendMode},
    {"GetTextureBlendMode", lua_SDL_GetTextureBlendMode},
    // surfaces and pixels
    {"IMG_Init", l_IMG_Init},
    {"FreeSurface", l_FreeSurface},
    {"IMG_Load", l_IMG_Load},
    {"IMG_Quit", l_IMG_Quit},
    {"IMG_SavePNG", l_IMG_SavePNG},
    {"getColors", l_getColors},
    {"setColors", l_setColors},
    {"getSurfaceWidthHeight", l_getSurfaceWidthHeight},
    {"MapRGB", l_MapRGB},
    {"SetColorKey", l_SetColorKey},
    {"GetWindowSurface", l_GetWindowSurface},
    {"UpdateWindowSurface", l_UpdateWindowSurface},
    {"BlitSurface", l_BlitSurface},
    {"CreateRGBSurface", l_CreateRGBSurface},
    {"CreateRGBSurfaceWithFormat", l_CreateRGBSurfaceWithFormat},
    {"surface_fill_rect", l_surface_fill_rect},
    {"get_surface_rgba", lua_get_surface_rgba},
    {"set_surface_rgba", lua_set_surface_rgba},
    {"SetSurfaceBlendMode", lua_SDL_SetSurfaceBlendMode},
    {"GetSurfaceBlendMode", lua_SDL_GetSurfaceBlendMode},
    {"zoomSurface", lua_zoomSurface},
    // audio
    {"Mix_OpenAudio", l_Mix_OpenAudio},
    {"Mix_LoadMUS", l_Mix_LoadMUS},
    {"Mix_PlayMusic", l_Mix_PlayMusic},
    {"Mix_PlayChannel", l_Mix_PlayChannel},
    {"Mix_LoadWAV", l_Mix_LoadWAV},
    {"Mix_FreeChunk", l_Mix_FreeChunk},
    {"Mix_FreeMusic", l_Mix_FreeMusic},
    {"Mix_CloseAudio", l_Mix_CloseAudio},
    {"Mix_Quit", l_Mix_Quit},
    {"Mix_FadeOutMusic", lua_Mix_FadeOutMusic},
    {"Mix_HaltMusic", lua_Mix_HaltMusic},
    // fonts, controllers and frame-rate manager
    {"TTF_Init", l_TTF_Init},
    {"initFramerate", l_initFramerate},
    {"setFramerate", l_setFramerate},
    {"framerateDelay", l_framerateDelay},
    {"NumJoysticks", l_NumJoysticks},
    {"GameControllerOpen", l_GameControllerOpen},
    {"TTF_OpenFont", l_TTF_OpenFont},
    {"TTF_RenderText_Solid", l_TTF_RenderText_Solid},
    {"TTF_RenderText_Blended_Wrapped", l_TTF_RenderText_Blended_Wrapped},
    {"TTF_SizeText", l_TTF_SizeText},
    {"JoystickRumble", l_JoystickRumble},
    {"GameControllerGetJoystick", l_GameControllerGetJoystick},
    // drawing primitives
    {"circleRGBA", l_circleRGBA},
    {"stringRGBA", l_stringRGBA},
    {"filledellipseRGBA", l_filledellipseRGBA},
    {"aaellipseRGBA", l_aaellipseRGBA},
    {"ellipseRGBA", l_ellipseRGBA},
    {"filledcircleRGBA", l_filledcircleRGBA},
    {"aacircleRGBA", l_aacircleRGBA},
    {"aalineRGBA", l_aalineRGBA},
    {"lineRGBA", l_lineRGBA},
    {"thickLineRGBA", l_thickLineRGBA},
    {"roundedBoxRGBA", l_roundedBoxRGBA},
    {"roundedRectangleRGBA", l_roundedRectangleRGBA},
    {"boxRGBA", l_boxRGBA},
    {"rectangleRGBA", l_rectangleRGBA},
    {"vlineRGBA", l_vlineRGBA},
    {"hlineRGBA", l_hlineRGBA},
    {"pixelRGBA", l_pixelRGBA},
    {nullptr, nullptr},
};
static_assert(sizeof kFunctions / sizeof kFunctions[0] == 110 + 1, "the module table has 110 functions");

}  // namespace

extern "C" int luaopen_orbix(lua_State* L) {
  lua_newtable(L);
  for (size_t i = 0; i < orbix::kConstantCount; ++i)
    push_integer_to_table(L, orbix::kConstants[i].name, orbix::kConstants[i].value);
  for (const luaL_Reg* f = kFunctions; f->name; ++f) push_function_to_table(L, f->name, f->func);

  orbix::create_metatables(L);
  return 1;
}
