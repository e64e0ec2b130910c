// An emulator for the window tests: writes its arguments, one a line, to
// the file KESTRANE_STUB_OUTPUT names, and ends.
#include <cstdlib>
#include <fstream>

int main(int argc, char* argv[]) {
    const char* output = std::getenv("KESTRANE_STUB_OUTPUT");
    if (!output) return 1;
    std::ofstream out(output, std::ios::trunc | std::ios::binary);  // "\n", also on Windows
    for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
    return 0;
}
