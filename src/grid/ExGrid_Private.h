#pragma once

// Small helpers shared by the grid's own source files.

#include "platform/Scope.h"

namespace exgrid_detail {

using platform::FlagGuard;
using platform::ScopeExit;

} // namespace exgrid_detail
