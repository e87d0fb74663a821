// Rich-edit content streamed as RTF to and from files and Lua strings.
#include "args.hpp"
#include "bindings.hpp"
