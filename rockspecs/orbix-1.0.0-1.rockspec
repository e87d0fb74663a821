-- orbix for Debian's Lua 5.3 and SDL2 packages. From the repository's root:
--   luarocks --lua-version 5.3 make rockspecs/orbix-1.0.0-1.rockspec
-- Needs libsdl2-dev, libsdl2-image-dev, libsdl2-mixer-dev, libsdl2-ttf-dev,
-- libsdl2-gfx-dev and liblua5.3-dev.
rockspec_format = "3.0"
package = "orbix"
version = "1.0.0-1"
source = {
  -- `luarocks make` builds the working tree it is run from.
  url = "git+file://.",
}
description = {
  summary = "A Lua module over SDL2 and its companion libraries",
  detailed = [[
    orbix gives Lua scripts SDL2 windows and renderers, textures, surfaces and
    pixel access, input events as tables, audio (SDL2_mixer), TrueType text
    (SDL2_ttf), game controllers, a frame-rate manager and the drawing
    primitives of SDL2_gfx. require "orbix" returns the module table.
  ]],
}
dependencies = { "lua >= 5.3, < 5.4" }
external_dependencies = {
  SDL2 = { header = "SDL2/SDL.h", library = "SDL2" },
  SDL2_IMAGE = { header = "SDL2/SDL_image.h", library = "SDL2_image" },
  SDL2_MIXER = { header = "SDL2/SDL_mixer.h", library = "SDL2_mixer" },
  SDL2_TTF = { header = "SDL2/SDL_ttf.h", library = "SDL2_ttf" },
  SDL2_GFX = { header = "SDL2/SDL2_gfxPrimitives.h", library = "SDL2_gfx" },
}
build = {
  type = "builtin",
  modules = {
    orbix = {
      sources = {
        "modules/orbix/module.cpp", "modules/orbix/constants.cpp", "modules/orbix/handles.cpp",
        "modules/orbix/values.cpp", "modules/orbix/events.cpp", "modules/orbix/video.cpp",
        "modules/orbix/textures.cpp", "modules/orbix/surfaces.cpp", "modules/orbix/audio.cpp",
        "modules/orbix/fonts_controllers.cpp", "modules/orbix/primitives.cpp", "modules/orbix/pixels.cpp",
        "modules/orbix/core/guards.cpp",
      },
      -- The sources include <SDL.h>, as SDL's own pkg-config flags have it,
      -- and the glue shared with the host.
      incdirs = { "$(SDL2_INCDIR)/SDL2", "glue" },
      libdirs = { "$(SDL2_LIBDIR)" },
      -- The module is C++: the C compiler that links it needs libstdc++.
      libraries = { "SDL2_gfx", "SDL2_ttf", "SDL2_mixer", "SDL2_image", "SDL2", "stdc++" },
    },
  },
}
