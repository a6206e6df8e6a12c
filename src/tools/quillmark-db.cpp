#include "tools/DbTool.h"

#include <iostream>

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return RunDbTool(args, std::cout, std::cerr);
}
