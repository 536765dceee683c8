#pragma once

// Small helpers shared by the grid's own source files.

namespace exgrid_detail {

// Sets a flag for a scope and puts its old value back.
struct FlagGuard
{
    bool& flag;
    bool old;
    explicit FlagGuard(bool& f, bool value = true) : flag(f), old(f) { flag = value; }
    ~FlagGuard() { flag = old; }
    FlagGuard(const FlagGuard&) = delete;
    FlagGuard& operator=(const FlagGuard&) = delete;
};

// Runs a step when the scope ends, also when an event throws.
template <typename F>
struct ScopeExit
{
    F f;
    ~ScopeExit() { f(); }
};
template <typename F>
ScopeExit(F) -> ScopeExit<F>;

} // namespace exgrid_detail
