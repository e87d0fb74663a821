// Common dialogs, message boxes, shell, clipboard and process information.
#include "args.hpp"
#include "bindings.hpp"
