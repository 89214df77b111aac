#include "command_line.h"

#include <gtest/gtest.h>

namespace {

using launch::BuildJavaCommandLine;

const std::wstring kWorkedExample =
    L"\"C:\\Program Files\\Java\\j2re1.4.2_19\\bin\\java.exe\" -classpath "
    L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar\";"
    L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar\";"
    L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\daravizaru.jar\";"
    L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\jdc.jar\";"
    L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\log4j-1.2.8.jar\";"
    L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\" pdu_next.Frame11 autostart";
const std::wstring kAfterProgram = kWorkedExample.substr(kWorkedExample.find(L" -classpath "));

TEST(BuildJavaCommandLine, QuotesEachPathAndTakesBothFoldersUnchanged) {
    const std::wstring folder = L"D:\\Apps\\Sms Launcher";
    EXPECT_EQ(BuildJavaCommandLine(L"C:\\Program Files\\Java\\j2re1.4.2_19", folder), kWorkedExample);
    EXPECT_EQ(BuildJavaCommandLine(L"", folder), L"java" + kAfterProgram);
    EXPECT_EQ(BuildJavaCommandLine(L"   ", folder), L"\"   \\bin\\java.exe\"" + kAfterProgram);
    EXPECT_EQ(BuildJavaCommandLine(L"C:\\Java\\", folder), L"\"C:\\Java\\\\bin\\java.exe\"" + kAfterProgram);
    // At a drive root the folder keeps its backslash, so two stand in a row.
    const std::wstring atRoot = BuildJavaCommandLine(L"", L"D:\\");
    EXPECT_EQ(atRoot.find(L"java -classpath \"D:\\\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar\";\"D:\\\\"), 0u);
    EXPECT_EQ(atRoot.find(L";\"D:\\\\DarAvizAru\" pdu_next.Frame11 autostart"), atRoot.size() - 44);
}

TEST(ProgramFolderOf, DropsTheFileNameAndKeepsOnlyARootsBackslash) {
    const std::wstring deep = L"\\\\?\\D:\\" + std::wstring(300, L'd');  // nothing is cut beyond 260
    const std::pair<std::wstring, std::wstring> paths[] = {
        {L"C:\\Sms Launcher\\TessalyPushGateway.exe", L"C:\\Sms Launcher"},
        {L"D:\\TessalyPushGateway.exe", L"D:\\"},
        {L"\\\\server\\share\\TessalyPushGateway.exe", L"\\\\server\\share"},
        {L"D:\\\u041F\u0440\u043E\u0433\\x.exe", L"D:\\\u041F\u0440\u043E\u0433"},
        {deep + L"\\TessalyPushGateway.exe", deep},
    };
    for (const auto& [path, folder] : paths) EXPECT_EQ(launch::ProgramFolderOf(path), folder) << path;
}

}  // namespace
