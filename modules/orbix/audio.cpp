// Audio through SDL_mixer: the device, one music stream, sound chunks on
// mixer channels. Arguments are checked from the last to the first.
//
// Music and chunk handles own their objects (handles.cpp). SDL_mixer halts a
// chunk's channels and the music when they are freed, so collecting a handle
// stops its sound; freeing after Mix_CloseAudio is safe by SDL_mixer's own
// contract, and Mix_Quit frees the remaining music first because it may
// unload the codec libraries that a music object still points into.
#include <SDL_mixer.h>

#include "args.hpp"
#include "bindings.hpp"
#include "handles.hpp"

using namespace orbix;

namespace {

bool device_open() { return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0; }

}  // namespace

int l_Mix_OpenAudio(lua_State* L) {
  int chunksize = arg_i32(L, 4);
  int channels = arg_i32(L, 3);
  Uint16 format = low16_unsigned(arg_int(L, 2));
  int frequency = arg_i32(L, 1);
  // SDL passes a negative rate on to the driver: one that paces itself by
  // the clock then sleeps for weeks per buffer, and closing the device waits
  // for that sleep. 0 still asks for SDL's default rate.
  if (frequency < 0) {
    return push_i32(L, SDL_SetError("Mix_OpenAudio: frequency %d is negative", frequency));
  }
  return push_i32(L, Mix_OpenAudio(frequency, format, channels, chunksize));
}

int l_Mix_CloseAudio(lua_State*) {
  Mix_CloseAudio();
  return 0;
}

int l_Mix_Quit(lua_State*) {
  // Halt first: freeing music that fades out would wait for the fade.
  Mix_HaltMusic();
  release_all(Kind::Music);
  Mix_Quit();
  return 0;
}

// --- music -----------------------------------------------------------------

int l_Mix_LoadMUS(lua_State* L) {
  const char* file = arg_str(L, 1);
  new_handle(L);
  Mix_Music* music = Mix_LoadMUS(file);
  if (!music) return 0;
  fill_owned(L, -1, Kind::Music, music);
  return 1;
}

int l_Mix_PlayMusic(lua_State* L) {
  int loops = arg_i32(L, 2);
  auto* music = static_cast<Mix_Music*>(lua_tomusic(L, 1));
  const int result = Mix_PlayMusic(music, loops);
  if (result == 0) note_playing_music(music);
  return push_i32(L, result);
}

extern "C" int lua_Mix_FadeOutMusic(lua_State* L) { return push_i32(L, Mix_FadeOutMusic(arg_i32(L, 1))); }

extern "C" int lua_Mix_HaltMusic(lua_State* L) { return push_i32(L, Mix_HaltMusic()); }

// --- chunks ----------------------------------------------------------------

int l_Mix_LoadWAV(lua_State* L) {
  const char* file = arg_str(L, 1);
  new_handle(L);
  // freesrc 1: SDL_mixer closes the stream in every case; a null stream (the
  // file could not be opened) makes it return null with SDL's error text.
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(file, "rb"), 1);
  if (!chunk) return 0;
  fill_owned(L, -1, Kind::Chunk, chunk);
  return 1;
}

int l_Mix_PlayChannel(lua_State* L) {
  int loops = arg_i32(L, 3);
  auto* chunk = static_cast<Mix_Chunk*>(lua_tochunk(L, 2));
  // Loose on purpose: nil means channel 0, not "first free" (that is -1).
  int channel = low32_signed(arg_opt_int(L, 1));
  // SDL_mixer 2.6 looks at its channel array without checking that the
  // device is open, and that array is gone after Mix_CloseAudio.
  if (!device_open()) {
    SDL_SetError("Audio device hasn't been opened");
    return push_i32(L, -1);
  }
  // SDL_mixer 2.6 indexes its channel array with any other number before
  // checking it (a negative one reads before the array) and answers a
  // channel past the end as if it played there: only -1 (first free) and
  // the allocated channels are real.
  if (channel < -1 || channel >= Mix_AllocateChannels(-1)) {
    SDL_SetError("Invalid channel %d", channel);
    return push_i32(L, -1);
  }
  return push_i32(L, Mix_PlayChannelTimed(channel, chunk, loops, -1));
}
