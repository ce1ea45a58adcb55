// The one file a report is made of, whatever happens to its name meanwhile.

#include <gtest/gtest.h>

#include <cstdio>

#include <unistd.h>

#include "cli/SourceFile.h"
#include "tests/support/TempDir.h"

namespace {

// A new file renamed over the name after it was opened (as an editor saves, or a recorder
// rolls a file over): every later read still reads the file first opened, and an export is
// known to be over it only by a name that still leads to it.
TEST(SourceFile, ReadsTheFileFirstOpenedWhateverTheNameComesToMean) {
    TTempDir dir;
    const std::string name = dir.Write("take.wav", {'f', 'i', 'r', 's', 't'});
    ASSERT_EQ(link(name.c_str(), dir.File("kept.wav").c_str()), 0);
    const TSourceFile source(name);
    const std::string second = dir.Write("new.wav", {'s', 'e', 'c', 'o', 'n', 'd'});
    ASSERT_EQ(std::rename(second.c_str(), name.c_str()), 0);

    EXPECT_EQ(TTempDir::Read(source.ReadName()), "first");
    EXPECT_EQ(TTempDir::Read(source.ReadName()), "first") << "a second read too";
    EXPECT_TRUE(source.IsNamedBy(dir.File("kept.wav")));
    EXPECT_FALSE(source.IsNamedBy(name)) << "the name is another file's now";
}

} // namespace
