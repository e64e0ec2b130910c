// The yardstick for "kestrane-cli export": a trivial C++ program that opens
// the ROM, reads the game code and the seven records, prints them and ends.
#include <cstdio>
#include <fstream>
#include <iostream>

int main(int argc, char* argv[]) {
    if (argc != 2) return 2;
    std::ifstream rom(argv[1], std::ios::binary);
    char code[4];
    if (!rom.seekg(0x13F).read(code, 4)) return 3;
    std::cout << "{\"code\": \"" << std::string(code, 4) << "\", \"trades\": [";
    for (unsigned slot = 0; slot < 7; ++slot) {
        unsigned char record[32];
        if (!rom.seekg(0xFCE58 + 32 * slot).read(reinterpret_cast<char*>(record), 32)) return 3;
        std::cout << (slot ? ", " : "") << "{\"slot\": " << slot + 1 << ", \"bytes\": \"";
        char hex[3];
        for (unsigned char b : record) {
            std::snprintf(hex, sizeof hex, "%02X", b);
            std::cout << hex;
        }
        std::cout << "\"}";
    }
    std::cout << "]}\n";
    return 0;
}
