// kestrane-cli.exe: Windows hands over the arguments in UTF-16; the
// command line takes UTF-8, and the console is asked to show UTF-8 too.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace {

std::string utf8(const wchar_t* wide) {
    int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(utf8(argv[i]));
    std::vector<const char*> pointers;
    for (const std::string& a : args) pointers.push_back(a.c_str());
    return kestrane::cli::runCli(argc, pointers.data(), std::cout, std::cerr);
}
