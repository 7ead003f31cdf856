#pragma once
// Where zelk-cli works (cli_root.cpp).
#include "cli_app.h"

namespace zelk::cli {

// Sets ctx.Root, DataDir and MissionFolder (absolute) from the options and
// `env`; warns on stderr when no simulator is found where the root was
// looked for. Throws TUsageError for a --root or ZELK_ROOT that is no folder.
void ResolvePlaces(TContext& ctx, const TCliEnvironment& env);

}  // namespace zelk::cli
