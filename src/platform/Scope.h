#pragma once

// Steps undone when a scope ends, also when it is left by an exception.

#include <utility>

namespace platform {

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

// Runs a step when the scope ends.
template <typename F>
struct ScopeExit
{
    F f;
    // A constructor, so that parentheses work on every compiler too.
    explicit ScopeExit(F fn) : f(std::move(fn)) {}
    ~ScopeExit() { f(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
};
template <typename F>
ScopeExit(F) -> ScopeExit<F>;

} // namespace platform
