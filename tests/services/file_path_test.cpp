// Paths joined from a folder and a file name: at compile time for the constants, at run time for names
// known only then.
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
    // A joined folder joins on again, with still one terminator.
    constexpr auto nested = JoinPath(JoinPath("..\\", "Immagini\\"), kName);
    EXPECT_STREQ(nested.data(), "..\\Immagini\\barra.png");
    EXPECT_EQ(nested.size(), std::strlen(nested.data()) + 1);
}

TEST(JoinPathTest, AnEmptyFolderLeavesTheName) {
    constexpr auto path = JoinPath("", kName);
    EXPECT_STREQ(path.data(), kName);
    EXPECT_EQ(path.size(), sizeof(kName));
}

TEST(JoinPathIntoTest, APathThatFillsTheBufferExactlyIsKeptAndOneByteMoreIsRefusedWhole) {
    char path[sizeof(kFolder) + sizeof(kName) - 1];
    ASSERT_TRUE(JoinPathInto(path, kFolder, kName));
    EXPECT_STREQ(path, "..\\Immagini\\Slider\\barra.png");

    char shorter[sizeof(path) - 1];
    memset(shorter, 'x', sizeof(shorter));
    EXPECT_FALSE(JoinPathInto(shorter, kFolder, kName));
    EXPECT_STREQ(shorter, "") << "no path cut short, which would name another file";
}
