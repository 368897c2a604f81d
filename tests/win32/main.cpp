// Entry of the Win32-behaviour tests: on Linux the layer gets a fresh virtual drive for the run.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "zep_platform.h"
#endif

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    return RUN_ALL_TESTS();
#else
    namespace fs = std::filesystem;
    // A run never sees the drive of another run or of the user.
    std::error_code ec;
    fs::path root;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        root = fs::temp_directory_path() / ("zep-win32-" + std::to_string(random()));
        if (fs::create_directory(root, ec)) break;
        root.clear();
    }
    if (root.empty()) {
        fprintf(stderr, "cannot create a temporary root folder\n");
        return 2;
    }
    ZepSetRoot(root.c_str());
    int result = RUN_ALL_TESTS();
    fs::remove_all(root, ec);
    return result;
#endif
}
