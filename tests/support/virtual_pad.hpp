// The virtual game controller the native test programs attach: test machines
// have no device. The caller may add callbacks (rumble) before attaching.
#pragma once

#include <SDL.h>

inline SDL_VirtualJoystickDesc controller_pad(const char* name) {
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.name = name;
  return desc;
}
