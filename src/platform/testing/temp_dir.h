// A fresh folder of the test's own under the system's temporary folder,
// made so that no other process can have taken the same name.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

#ifndef _WIN32
#include <stdlib.h>
#endif

namespace orbus::testing {

// `<temp>/<prefix>-XXXXXX`, created empty.
inline std::filesystem::path makeTempDir(const std::string& prefix) {
    namespace fs = std::filesystem;
#ifndef _WIN32
    std::string t = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(t.data())) throw std::runtime_error("no temporary directory");
    return t;
#else
    // No mkdtemp here: a random name, taken only when this call created it.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir = fs::temp_directory_path() / (prefix + "-" + std::to_string(random() % 1000000));
        if (fs::create_directory(dir)) return dir;
    }
    throw std::runtime_error("no temporary directory");
#endif
}

}  // namespace orbus::testing
