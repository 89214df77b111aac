#include "program_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "command_line.h"

namespace {

TEST(ReadWhole, AsksAgainWithMoreRoomUntilTheTextIsNotCut) {
    for (const std::size_t length : {1, 255, 256, 257, 300, 70000}) {
        const std::wstring path(length, L'p');
        // As GetModuleFileNameW answers: what fits, and the buffer's size when that cuts the path.
        const auto call = [&](wchar_t* buffer, std::size_t size) {
            return std::copy_n(path.data(), std::min(size, path.size()), buffer) - buffer;
        };
        EXPECT_EQ(ReadWhole(call), path) << length;
    }
}

// Java reads the folder on its class path, and is started in it: it must be in the ordinary form.
TEST(ProgramFolderOf, GivesTheExesFolderInItsOrdinaryForm) {
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"C:\\Gateway\\x.exe", L"C:\\Gateway"}, {L"D:\\x.exe", L"D:\\"}, {L"x.exe", L""},
        {L"\\\\?\\D:\\Gateway\\x.exe", L"D:\\Gateway"}, {L"\\\\?\\D:\\x.exe", L"D:\\"},
        {L"\\\\?\\UNC\\server\\share\\x.exe", L"\\\\server\\share"},
        {L"\\\\?\\Volume{1}\\x.exe", L"\\\\?\\Volume{1}"}};
    for (const auto& [path, folder] : rows) EXPECT_EQ(launch::ProgramFolderOf(path), folder) << path;
}

}  // namespace
