#include "cli/Cli.h"

#include <iostream>

int main(int argc, char** argv) { return orven::cli::RunCli(argc, argv, std::cout, std::cerr); }
