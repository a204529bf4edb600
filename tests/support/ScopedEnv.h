#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tern::test {

// Sets an environment variable (or removes it, given nothing) for the life of the object and puts
// the old value back after.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value) const
    {
#ifdef _WIN32
        // An empty value removes the variable.
        ::_putenv_s(m_name, value ? value->c_str() : "");
#else
        if (value)
            ::setenv(m_name, value->c_str(), 1);
        else
            ::unsetenv(m_name);
#endif
    }

    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace tern::test
