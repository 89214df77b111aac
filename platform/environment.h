#pragma once
// What the search asks of the process's environment: a variable's value.
// Behind an interface so the search can be watched on any machine.

#include <optional>
#include <string>

class Environment {
public:
    virtual ~Environment() = default;
    // The value whole, however long; nothing when the variable is not set.
    virtual std::optional<std::wstring> Variable(const std::wstring& name) const = 0;
};

// The environment Windows gave this process.
class Win32Environment final : public Environment {
public:
    std::optional<std::wstring> Variable(const std::wstring& name) const override;
};
