#pragma once
// Small file helpers shared by the tests of the core's file readers and writers.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace pellucor::filetest {

// The whole file, byte for byte; empty when it cannot be opened.
inline std::string Slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace pellucor::filetest
