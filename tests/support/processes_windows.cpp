#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "support/processes.h"
#include "support/rom_image.h"

namespace kestrane::testing {
namespace {

// One argument as the C runtime reads it back: quoted, inner quotes and
// the backslashes before them escaped.
std::wstring quotedArgument(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

}  // namespace

std::vector<int> runTogether(const std::vector<Command>& commands) {
    std::vector<HANDLE> started;
    for (const Command& command : commands) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const std::wstring outputPath = command.output.empty() ? L"NUL" : fsPath(command.output).wstring();
        HANDLE output = ::CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        std::wstring line;
        for (const std::string& arg : command.args) line += (line.empty() ? L"" : L" ") + quotedArgument(fsPath(arg).wstring());
        PROCESS_INFORMATION process{};
        const bool ok = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
        ::CloseHandle(output);
        if (ok) ::CloseHandle(process.hThread);
        started.push_back(ok ? process.hProcess : nullptr);
    }
    std::vector<int> codes;
    for (HANDLE process : started) {
        DWORD code = DWORD(-1);
        if (process) {
            ::WaitForSingleObject(process, INFINITE);
            ::GetExitCodeProcess(process, &code);
            ::CloseHandle(process);
        }
        codes.push_back(int(code));
    }
    return codes;
}

std::string cliProgram() {
    // CMake hands over a Unix path under Wine.
    std::string path = KESTRANE_CLI_EXE;
    return !path.empty() && path[0] == '/' ? "Z:" + path : path;
}

}  // namespace kestrane::testing
