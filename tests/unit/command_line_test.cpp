#include "command_line.h"

#include <gtest/gtest.h>

namespace {

using launch::BuildJavaCommandLine;
using launch::ProgramFolderOf;

std::wstring ClassPath(const std::wstring& folder) {
    return L"\"" + folder + L"\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar\";\"" + folder +
           L"\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar\";\"" + folder + L"\\DarAvizAru\\lib\\daravizaru.jar\";\"" +
           folder + L"\\DarAvizAru\\lib\\jdc.jar\";\"" + folder + L"\\DarAvizAru\\lib\\log4j-1.2.8.jar\";\"" +
           folder + L"\\DarAvizAru\"";
}

TEST(BuildJavaCommandLine, MatchesTheWorkedExamples) {
    EXPECT_EQ(BuildJavaCommandLine(L"C:\\Program Files\\Java\\j2re1.4.2_19", L"D:\\Apps\\Sms Launcher"),
              L"\"C:\\Program Files\\Java\\j2re1.4.2_19\\bin\\java.exe\" -classpath "
              L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar\";"
              L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar\";"
              L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\daravizaru.jar\";"
              L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\jdc.jar\";"
              L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\\lib\\log4j-1.2.8.jar\";"
              L"\"D:\\Apps\\Sms Launcher\\DarAvizAru\" pdu_next.Frame11 autostart");
    EXPECT_EQ(BuildJavaCommandLine(L"", L"D:\\Apps\\Sms Launcher"),
              L"java -classpath " + ClassPath(L"D:\\Apps\\Sms Launcher") + L" pdu_next.Frame11 autostart");
}

TEST(BuildJavaCommandLine, TakesAwkwardFoldersUnchanged) {
    const std::wstring rest = L" -classpath " + ClassPath(L"C:\\A") + L" pdu_next.Frame11 autostart";
    EXPECT_EQ(BuildJavaCommandLine(L"   ", L"C:\\A"), L"\"   \\bin\\java.exe\"" + rest);
    EXPECT_EQ(BuildJavaCommandLine(L"C:\\Java\\", L"C:\\A"), L"\"C:\\Java\\\\bin\\java.exe\"" + rest);
    // At a drive root the folder keeps its backslash, so two stand in a row.
    EXPECT_EQ(BuildJavaCommandLine(L"", L"D:\\"),
              L"java -classpath \"D:\\\\DarAvizAru\\lib\\slf4j-api-1.1.0.jar\";"
              L"\"D:\\\\DarAvizAru\\lib\\slf4j-log4j12-1.1.0.jar\";\"D:\\\\DarAvizAru\\lib\\daravizaru.jar\";"
              L"\"D:\\\\DarAvizAru\\lib\\jdc.jar\";\"D:\\\\DarAvizAru\\lib\\log4j-1.2.8.jar\";"
              L"\"D:\\\\DarAvizAru\" pdu_next.Frame11 autostart");
}

TEST(ProgramFolderOf, DropsTheFileNameAndKeepsOnlyARootsBackslash) {
    EXPECT_EQ(ProgramFolderOf(L"C:\\Sms Launcher\\TessalyPushGateway.exe"), L"C:\\Sms Launcher");
    EXPECT_EQ(ProgramFolderOf(L"D:\\TessalyPushGateway.exe"), L"D:\\");
    EXPECT_EQ(ProgramFolderOf(L"\\\\?\\D:\\TessalyPushGateway.exe"), L"\\\\?\\D:\\");
    EXPECT_EQ(ProgramFolderOf(L"\\\\server\\share\\TessalyPushGateway.exe"), L"\\\\server\\share");
    EXPECT_EQ(ProgramFolderOf(L"D:\\\u041F\u0440\u043E\u0433\\x.exe"), L"D:\\\u041F\u0440\u043E\u0433");
    // Beyond the classic 260 characters nothing is cut, here or on the command line.
    const std::wstring deep = L"\\\\?\\D:\\" + std::wstring(300, L'd');
    EXPECT_EQ(ProgramFolderOf(deep + L"\\TessalyPushGateway.exe"), deep);
    EXPECT_NE(BuildJavaCommandLine(L"", deep).find(L"\"" + deep + L"\\DarAvizAru\" pdu_next"), std::wstring::npos);
}

}  // namespace
