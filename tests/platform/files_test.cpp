#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(DataPaths, FallBackToACaseInsensitiveMatchPerComponent) {
    fs::path root = fs::temp_directory_path() / "zeb_files_test";
    fs::remove_all(root);
    fs::create_directories(root / "Data" / "Models");
    std::ofstream(root / "Data" / "Models" / "Tree.md2") << "x";
    std::ofstream(root / "Data" / "dummylight65.bmp") << "y";
    std::string base = root.string() + "/";

    EXPECT_EQ(win::ResolvePath(base + "data/models/tree.MD2"), base + "Data/Models/Tree.md2");
    EXPECT_EQ(win::ResolvePath(base + "data/dummylight65.bmp"), base + "Data/dummylight65.bmp");
    // An exact path is taken as it is; a missing one is left unchanged.
    EXPECT_EQ(win::ResolvePath(base + "Data/dummylight65.bmp"), base + "Data/dummylight65.bmp");
    EXPECT_EQ(win::ResolvePath(base + "data/missing.bmp"), base + "data/missing.bmp");
    std::FILE* f = win::OpenFile(base + "DATA/MODELS/TREE.MD2", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fgetc(f), 'x');
    std::fclose(f);
    EXPECT_EQ(win::OpenFile(base + "Data/nothing/here.bmp", "rb"), nullptr);
    fs::remove_all(root);
}
