// The floating-point environment of one call into the library. Its arithmetic
// is IEEE single and double precision with every exception masked, rounding to
// nearest and subnormal numbers kept. A caller may run otherwise: with traps
// on division by zero or overflow (a Fortran program built to find its own
// faults), with subnormals flushed (a start-up built for fast maths), or with
// another rounding mode. Each entry point puts the default environment in
// place for its own work (threads it starts inherit it) and gives the
// caller's back, status flags included, when it returns.
#ifndef VORSEL_FLOAT_ENV_H
#define VORSEL_FLOAT_ENV_H

#include <cfenv>

namespace vorsel {

class DefaultFloatEnvironment {
public:
    DefaultFloatEnvironment() noexcept {
        std::fegetenv(&caller_);
        std::fesetenv(FE_DFL_ENV);
    }
    ~DefaultFloatEnvironment() { std::fesetenv(&caller_); }
    DefaultFloatEnvironment(const DefaultFloatEnvironment&) = delete;
    DefaultFloatEnvironment& operator=(const DefaultFloatEnvironment&) = delete;

private:
    std::fenv_t caller_;
};

}  // namespace vorsel

#endif
