// GDI painting, fonts, colours, images and the flat GDI+ interface.
#include "args.hpp"
#include "bindings.hpp"
