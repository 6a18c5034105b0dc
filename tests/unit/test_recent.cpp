// Recent files: opening moves a path to the front, the main menu lists the newest ten, and their
// commands reopen them through the open path.
#include "testsupport.h"
#include "base/recent.h"
#include "base/settings.h"
#include "files/openimage.h"
#include "image/group.h"
#include "shell/commands.h"
#include "shell/menus.h"
#include "shell/winproc.h"
#include "view/winlist.h"
#include <string>

class RecentTest : public HostTest {
protected:
    // A 1 x 1 24-bit bitmap file.
    std::string Picture(const std::string &name)
    {
        static const unsigned char bytes[58] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0,
                                                0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4,  0, 0, 0, 0, 0,
                                                0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0, 10, 20, 30, 0};
        std::string path = dir.file(name);
        WriteFileText(path, std::string((const char *)bytes, sizeof bytes));
        return path;
    }
    static int Groups()
    {
        int n = 0;
        for (ImageGroup *g = g_firstGroup; g; g = g->next)
            n++;
        return n;
    }
};

TEST_F(RecentTest, NewestTenInTheMenuAndReopenedByTheirCommands)
{
    snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
    WriteFileText(dir.file("QzMain.mnu.JPN"), "@&File\n$rctfile\n#Quit\n");
    RegisterImageWindowClass();
    ImageWindow *w = CreateImageWindow(0, 0, 200, 150);
    ASSERT_NE(w, nullptr);
    MakeWindowCurrent(w);
    std::string paths[12];
    for (int i = 0; i < 12; i++)
        OpenDroppedFile((paths[i] = Picture("p" + std::to_string(i) + ".bmp")).c_str());
    // Opened again, the first goes to the front without a second entry.
    OpenDroppedFile(paths[0].c_str());
    ASSERT_EQ(Groups(), 13);
    EXPECT_EQ(RecentFileAt(0)->path, paths[0]);
    EXPECT_EQ(RecentFileAt(1)->path, paths[11]);
    EXPECT_EQ(RecentFileAt(11)->path, paths[1]);
    EXPECT_EQ(RecentFileAt(12), nullptr);

    BuildMainMenu();
    HMENU file = GetSubMenu(GetMainMenu(), 0);
    ASSERT_EQ(GetMenuItemCount(file), 1 + 10 + 1); // separator, ten files, Quit
    for (int n = 0; n < 10; n++) {
        char text[600] = "";
        GetMenuStringA(file, 1 + n, text, sizeof text, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(file, 1 + n), (UINT)(34001 + n));
        EXPECT_EQ(text, "&" + std::to_string(n) + "|" + RecentFileAt(n)->path);
    }

    // Entry 2 (p10) opens as a new group and comes to the front; a command past the list does nothing.
    DispatchCommand(w, 34003, 0);
    EXPECT_EQ(Groups(), 14);
    EXPECT_EQ(RecentFileAt(0)->path, paths[10]);
    EXPECT_EQ(RecentFileAt(1)->path, paths[0]);
    EXPECT_EQ(RecentFileAt(2)->path, paths[11]);
    FreeRecentFiles();
    DispatchCommand(w, 34001, 0);
    EXPECT_EQ(Groups(), 14);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.boxes[0].text;
}
