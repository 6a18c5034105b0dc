// The directory file list plug-ins walk while a directory is opened.
#include "testsupport.h"
#include "plugins/dirlist.h"
#include <map>
#include <string>

class DirListTest : public HostTest {};

TEST_F(DirListTest, EveryEntryWithItsFlagThenNothingAfterTheFree)
{
    WriteFileText(dir.file("a.bmp"), "x");
    WriteFileText(dir.file("b.txt"), "y");
    CreateDirectoryA(dir.file("sub").c_str(), nullptr);
    EXPECT_EQ(QzsGetImageInFileList(), nullptr);
    EXPECT_EQ(BuildDirFileList(dir.path().c_str()), 0);
    std::map<std::string, int> seen;
    DirFileNode *last = nullptr;
    for (DirFileNode *n = QzsGetImageInFileList(); n; n = QzsGetNextFileList(n)) {
        EXPECT_EQ(n->reserved, 0);
        EXPECT_TRUE(seen.emplace(n->name, n->directory).second) << n->name;
        last = n;
    }
    EXPECT_EQ(seen, (std::map<std::string, int>{{".", 1}, {"..", 1}, {"a.bmp", 0}, {"b.txt", 0}, {"sub", 1}}));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(QzsGetNextFileList(last), nullptr);
    EXPECT_EQ(QzsGetNextFileList(nullptr), nullptr);
    FreeDirFileList();
    EXPECT_EQ(QzsGetImageInFileList(), nullptr);

    // A directory that cannot be read gives an empty list.
    EXPECT_EQ(BuildDirFileList(dir.file("none").c_str()), 0);
    EXPECT_EQ(QzsGetImageInFileList(), nullptr);
    std::string longName(2000, 'a');
    EXPECT_EQ(BuildDirFileList(longName.c_str()), 0);
    EXPECT_EQ(QzsGetImageInFileList(), nullptr);
}
