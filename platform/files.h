#pragma once
// What the search asks of the disk: is a file there. Behind an interface so
// the search can be watched on any machine.

#include <string>

class Files {
public:
    virtual ~Files() = default;
    virtual bool Exists(const std::wstring& path) const = 0;
};

// The disk as Windows shows it to this process.
class Win32Files final : public Files {
public:
    bool Exists(const std::wstring& path) const override;
};
