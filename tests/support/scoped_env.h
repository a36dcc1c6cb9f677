// Test support: an environment variable set (or unset) for one scope and
// put back afterwards; TZ changes also reach the C library's zone rules.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace dcl::test {

class ScopedEnv {
public:
    // A null value unsets the variable.
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        apply(value);
    }
    ~ScopedEnv() { apply(saved_ ? saved_->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void apply(const char* value) {
        if (value)
            setenv(name_.c_str(), value, 1);
        else
            unsetenv(name_.c_str());
        if (name_ == "TZ") tzset();
    }

    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace dcl::test
