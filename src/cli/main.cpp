#include <iostream>

#include "cli/cli.h"

int main(int argc, char* argv[]) { return kestrane::cli::runCli(argc, argv, std::cout, std::cerr); }
