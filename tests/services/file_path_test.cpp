// Paths the program keeps as constants, joined at compile time from a folder and a file name.
#include "harness.h"
#include "services/file_path.h"

#include <cstring>

namespace {

constexpr char kFolder[] = "..\\Immagini\\Slider\\";
constexpr char kName[] = "barra.png";

} // namespace

TEST(JoinPathTest, HoldsTheFolderThenTheNameWithOneTerminator) {
    constexpr auto path = JoinPath(kFolder, kName);
    EXPECT_STREQ(path.data(), "..\\Immagini\\Slider\\barra.png");
    EXPECT_EQ(path.size(), std::strlen(path.data()) + 1);
}

TEST(JoinPathTest, AnEmptyFolderLeavesTheName) {
    constexpr auto path = JoinPath("", kName);
    EXPECT_STREQ(path.data(), kName);
    EXPECT_EQ(path.size(), sizeof(kName));
}
