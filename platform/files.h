#pragma once
// What the search asks of the disk: is a file there, and how does it begin.
// Behind an interface so the search can be watched on any machine.

#include <cstddef>
#include <optional>
#include <string>

class Files {
public:
    virtual ~Files() = default;
    virtual bool Exists(const std::wstring& path) const = 0;
    // A file's first bytes, at most this many; nothing when it cannot be read.
    virtual std::optional<std::string> Start(const std::wstring& path, std::size_t most) const = 0;
};

// The disk as Windows shows it to this process.
class Win32Files final : public Files {
public:
    bool Exists(const std::wstring& path) const override;
    std::optional<std::string> Start(const std::wstring& path, std::size_t most) const override;
};
