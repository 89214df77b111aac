#pragma once

#include "check_report.h"

// The machine as Windows shows it to this process.
class Win32Machine final : public check::Machine {
public:
    bool Exists(const std::wstring& path) const override;
    std::optional<std::string> Start(const std::wstring& path, std::size_t most) const override;
    std::optional<std::wstring> Variable(const std::wstring& name) const override;
    std::wstring FindJava(const std::wstring& programFolder) const override;

    // The registry view this build reads by default, as the launcher does.
    static std::wstring_view View();
};
