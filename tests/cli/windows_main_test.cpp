// Windows only: the real kestrane-cli.exe, given its arguments in UTF-16 as
// Windows gives them, with a path and a name outside ASCII.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include "support/rom_image.h"

namespace kestrane {
namespace {

using namespace kestrane::testing;

struct Outcome {
    DWORD code;
    std::string out;  // standard output and error, as written (UTF-8)
};

// The executable's path as Windows sees it: CMake hands over a Unix path under Wine.
std::wstring exePath() {
    std::wstring path = fsPath(KESTRANE_CLI_EXE).wstring();
    if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    return path;
}

Outcome runExe(const std::wstring& arguments, const TempDir& dir) {
    const std::wstring outputPath = fsPath(dir.file("output.txt")).wstring();
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = ::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exePath() + L"\" " + arguments;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process)) {
        ::CloseHandle(output);
        return {DWORD(-1), "could not start kestrane-cli.exe"};
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(output);
    Bytes bytes = readFile(dir.file("output.txt"));
    return {code, std::string(bytes.begin(), bytes.end())};
}

TEST(WindowsMain, ArgumentsAndMessagesStayUnicode) {
    TempDir dir;
    const std::string rom = dir.write("Kristall \u00e9.gbc", retailLikeRom("BYTE"));
    const std::wstring wideRom = L"\"" + fsPath(rom).wstring() + L"\"";

    Outcome info = runExe(L"info " + wideRom, dir);
    EXPECT_EQ(info.code, 0u) << info.out;
    EXPECT_NE(info.out.find("Pok\u00e9mon Crystal"), std::string::npos) << info.out;

    // A name the games cannot write is named, accent and all.
    Outcome refused = runExe(L"set " + wideRom + L" 1 --nickname L\u00e8a", dir);
    EXPECT_EQ(refused.code, 1u) << refused.out;
    EXPECT_NE(refused.out.find("cannot hold \"\u00e8\" (U+00E8), character 2"), std::string::npos) << refused.out;

    const std::string table = dir.file("table \u00e9t\u00e9.json");
    Outcome exported = runExe(L"export " + wideRom + L" -o \"" + fsPath(table).wstring() + L"\"", dir);
    EXPECT_EQ(exported.code, 0u) << exported.out;
    const Bytes written = readFile(table);
    EXPECT_NE(std::string(written.begin(), written.end()).find("\"code\": \"BYTE\""), std::string::npos);
}

}  // namespace
}  // namespace kestrane
