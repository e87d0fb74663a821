// The host's own modal dialogs: input box, run box and script dialogs.
#include "args.hpp"
#include "bindings.hpp"
