// Menu files: line parsing, the two builders, dynamic lists and marks, the default menu files.
#include "testsupport.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "shell/commands.h"
#include "base/settings.h"
#include "shell/keymap.h"
#include "shell/menus.h"
#include "view/winlist.h"
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

class MenuTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
        g_cfg.LANG = 0;
        ClearKeyTables();
    }
    void TearDown() override
    {
        ClearKeyTables();
        HostTest::TearDown();
    }
    void WriteMenu(const char *name, const std::string &text)
    {
        WriteFileText(dir.file(std::string(name) + ".JPN"), text);
    }
    static std::string Text(HMENU menu, int pos)
    {
        char text[300] = "";
        GetMenuStringA(menu, pos, text, sizeof text, MF_BYPOSITION);
        return text;
    }
    static bool Checked(HMENU menu, int id)
    {
        return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    static bool Grayed(HMENU menu, int id)
    {
        return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }
    ImageGroup *NewGroup()
    {
        CDIB *base = nullptr;
        QzsCreateNewImage(&base, 8, 8, 32);
        AddImageGroup(base);
        base->modified = 0;
        return g_lastGroup;
    }
    // A window record in the list, without a real window.
    ImageWindow *ListedWindow(ImageGroup *group)
    {
        ImageWindow *w = (ImageWindow *)calloc(1, sizeof(ImageWindow));
        w->group = group;
        w->layerImage = group ? group->currentImage : nullptr;
        w->display.zoom = 1;
        w->regionDisplayMode = 4;
        w->layerFrameMode = 1;
        if (g_lastWindow)
            g_lastWindow->next = w;
        else
            g_firstWindow = w;
        g_lastWindow = w;
        return w;
    }
};

TEST_F(MenuTest, LineKinds)
{
    struct Case {
        const char *line;
        int usable, kind, value;
        const char *english, *translated;
    } cases[] = {
        {"@&File \"File (J)\"", 1, kMenuLinePopup, 0, "&File", "File (J)"},
        {"#OpenImage Open-J", 1, kMenuLineCommand, 32017, "&Open file", "Open-J"},
        {"  #Quit", 1, kMenuLineCommand, 32032, "&Quit", ""},
        {"$Draw D-J", 1, kMenuLineList, kListDraw, "", "D-J"},
        {"$RCTFILE", 1, kMenuLineList, kListRecentFile, "", ""},
        {"$nothing x", 0, kMenuLineList, 0, "", "x"},
        {"-", 1, kMenuLineSeparator, 0, "", ""},
        {"!3 \"Zoom in\" Z-J", 1, kMenuLineSubPopup, 3, "Zoom in", "Z-J"},
        {">9", 1, kMenuLineAttach, 9, "", ""},
        {"", 0, 0, 0, "", ""},
    };
    for (const Case &c : cases) {
        int kind = -1, value = -1;
        char english[kSubCaptionBytes], translated[kSubCaptionBytes];
        EXPECT_EQ(ParseMenuLine(c.line, &kind, &value, english, translated, sizeof english), c.usable) << c.line;
        EXPECT_EQ(kind, c.kind) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
        EXPECT_STREQ(english, c.english) << c.line;
        EXPECT_STREQ(translated, c.translated) << c.line;
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(MenuTest, MalformedLinesAndUnknownCommandsAreReported)
{
    const char *lines[] = {"!10 x y", "!a x y", ">-1", "!", "*junk", "   ", "#NoSuch", "#quit"};
    for (const char *line : lines) {
        int kind, value;
        char english[kSubCaptionBytes], translated[kSubCaptionBytes];
        EXPECT_EQ(ParseMenuLine(line, &kind, &value, english, translated, sizeof english), 0) << line;
    }
    std::vector<std::string> texts;
    for (const CapturedBox &b : boxes.boxes)
        texts.push_back(b.text);
    std::vector<std::string> want = {"Error in Menu-file", "Error in Menu-file", "Error in Menu-file",
                                     "Error in Menu-file", "Error in Menu-file", "Error in Menu-file",
                                     "Illegal command name(NoSuch)", "Illegal command name(quit)"};
    EXPECT_EQ(texts, want);
}

TEST_F(MenuTest, LongCaptionsAreCutToTheirBuffers)
{
    std::string a(300, 'A'), b(300, 'B');
    int kind, value;
    char english[kSubCaptionBytes], translated[kSubCaptionBytes];
    ASSERT_EQ(ParseMenuLine(("@" + a + " " + b).c_str(), &kind, &value, english, translated, sizeof english), 1);
    EXPECT_EQ(strlen(english), (size_t)kCaptionBytes - 1);
    EXPECT_EQ(strlen(translated), (size_t)kCaptionBytes - 1);
    ASSERT_EQ(ParseMenuLine(("!0 " + a + " " + b).c_str(), &kind, &value, english, translated, sizeof english), 1);
    EXPECT_EQ(strlen(english), (size_t)kSubCaptionBytes - 1);
    // A two-byte character that does not fit whole is dropped whole.
    std::string jp = "@" + std::string(50, 'x') + "\x82\xa0";
    ASSERT_EQ(ParseMenuLine(jp.c_str(), &kind, &value, english, translated, sizeof english), 1);
    EXPECT_EQ(strlen(english), 50u);
    // A whole menu line far past the line buffer still builds.
    WriteMenu("QzMain.mnu", "@" + std::string(1000, 'C') + "\n#Quit\n");
    BuildMainMenu();
    EXPECT_EQ(GetMenuItemCount(GetMainMenu()), 1);
}

TEST_F(MenuTest, PopupsCommandsKeyTextsAndSubPopups)
{
    WriteFileText(dir.file("Ovrin.key"), "^o OpenImage\n1 SetZoom1\n");
    LoadKeyMap();
    WriteMenu("QzMain.mnu", "@&File File-J\n"
                            "#OpenImage Open-J\n"
                            "-\n"
                            "#Quit\n"
                            "!0 \"&Zoom\" Zoom-J\n"
                            "#SetZoom1\n"
                            "#SetZoom2\n"
                            ">0\n"
                            "@&Help\n"
                            "#ShowAboutApp\n");
    BuildMainMenu();
    EXPECT_TRUE(boxes.boxes.empty());
    HMENU bar = GetMainMenu();
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(Text(bar, 0), "&File");
    EXPECT_EQ(Text(bar, 1), "&Help");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    EXPECT_EQ(Text(file, 0), "&Open file\tCtrl+O");
    EXPECT_EQ(GetMenuItemID(file, 0), 32017u);
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(Text(file, 2), "&Quit\t");
    HMENU zoom = GetSubMenu(file, 3);
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(Text(file, 3), "&Zoom");
    ASSERT_EQ(GetMenuItemCount(zoom), 2);
    EXPECT_EQ(Text(zoom, 0), "&100%\t1");
    EXPECT_EQ(GetMenuItemID(zoom, 1), 32010u);

    g_cfg.LANG = 1;
    BuildMainMenu();
    bar = GetMainMenu();
    EXPECT_EQ(Text(bar, 0), "File-J");
    EXPECT_EQ(Text(bar, 1), "&Help"); // no translation given
    EXPECT_EQ(Text(GetSubMenu(bar, 0), 0), "Open-J\tCtrl+O");
    EXPECT_EQ(Text(GetSubMenu(bar, 0), 3), "Zoom-J");
}

// A damaged menu file is told in one box per read with its first bad lines; the good lines are
// used. The rebuilds that follow (every open and close rebuilds the menus) say nothing more until
// the file changes.
TEST_F(MenuTest, ADamagedFileIsToldOnceUntilItChanges)
{
    std::string text = "@&File\n#Quit\n";
    for (int i = 0; i < 100; i++)
        text += "#NoSuch" + std::to_string(i) + "\n";
    WriteMenu("QzMain.mnu", text);
    BuildMainMenu();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    std::string path = dir.file("QzMain.mnu.JPN");
    std::string want = path;
    for (int i = 0; i < 5; i++)
        want += "\nline " + std::to_string(i + 3) + ": Illegal command name(NoSuch" + std::to_string(i) + ")";
    EXPECT_EQ(boxes.boxes[0].text, want + "\n(95 more bad lines)");
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMainMenu(), 0)), 1);
    for (int i = 0; i < 4; i++)
        BuildMainMenu();
    EXPECT_EQ(boxes.boxes.size(), 1u);

    WriteMenu("QzMain.mnu", "@&File\n*junk\n#Quit\n");
    BuildMainMenu();
    BuildMainMenu();
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, path + "\nline 2: Error in Menu-file");
}

// A missing menu file gives an empty bar. It is told once per file, not at each of the rebuilds
// that every open and close makes, until the file is there again.
TEST_F(MenuTest, AMissingFileGivesAnEmptyBarAndIsToldOnceUntilItChanges)
{
    for (int i = 0; i < 4; i++)
        BuildMainMenu();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    EXPECT_EQ(boxes.boxes[0].text, "Can't open menu file!");
    EXPECT_EQ(GetMenuItemCount(GetMainMenu()), 0);

    ImageWindow *w = ListedWindow(NewGroup());
    for (int i = 0; i < 3; i++)
        BuildWindowMenu(w);
    ASSERT_EQ(boxes.boxes.size(), 2u); // the window menu's own file
    EXPECT_EQ(boxes.boxes[1].text, "Can't open menu file!");
    EXPECT_EQ(GetMenuItemCount(w->menu), 0);

    WriteMenu("QzMain.mnu", "@&File\n#Quit\n");
    BuildMainMenu();
    EXPECT_EQ(GetMenuItemCount(GetMainMenu()), 1);
    DeleteFileA(dir.file("QzMain.mnu.JPN").c_str());
    BuildMainMenu();
    BuildMainMenu();
    EXPECT_EQ(boxes.boxes.size(), 3u);
}

TEST_F(MenuTest, ImageListOfAWindowMenu)
{
    WriteMenu("Dazaz.mnu", "@&Image\n#ImageInfo\n$image\n$draw\n");
    ImageGroup *groups[11];
    for (int i = 0; i < 3; i++)
        groups[i] = NewGroup();
    ImageWindow *w = ListedWindow(groups[1]);
    BuildWindowMenu(w);
    HMENU popup = GetSubMenu(w->menu, 0);
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(popup, 2), 32000u);
    EXPECT_EQ(GetMenuItemID(popup, 3), 32001u);
    EXPECT_EQ(GetMenuItemID(popup, 4), 32019u);
    EXPECT_EQ(Text(popup, 3), std::string("&1|") + groups[1]->name);
    EXPECT_FALSE(Checked(popup, 32000));
    EXPECT_TRUE(Checked(popup, 32001));

    for (int i = 3; i < 11; i++)
        groups[i] = NewGroup();
    BuildWindowMenu(w);
    popup = GetSubMenu(w->menu, 0);
    ASSERT_EQ(GetMenuItemCount(popup), 1 + 1 + 10 + 1);
    const int ids[10] = {32000, 32001, 32019, 32020, 32005, 32002, 32006, 32007, 32008, 32018};
    for (int n = 0; n < 10; n++)
        EXPECT_EQ(GetMenuItemID(popup, 2 + n), (UINT)ids[n]);
    EXPECT_EQ(Text(popup, 12), "Image &List");
    EXPECT_EQ(GetMenuItemID(popup, 12), 32030u);
}

TEST_F(MenuTest, MainMenuListsStartOrExtendPopups)
{
    WriteMenu("QzMain.mnu", "@&File\n"
                            "#NewImage\n"
                            "$rctfile\n"
                            "#Quit\n"
                            "$draw Draw-J\n"
                            "#ChangeDrawMode\n"
                            "@&Window\n"
                            "$window\n"
                            "@&Layer\n"
                            "$layer\n");
    ImageGroup *g = NewGroup();
    CDIB *layerImage = nullptr;
    QzsCreateNewImage(&layerImage, 8, 8, 32);
    LayerRecord *layer = QzsInsertNewLayer(g, layerImage, 0, 0, 1, 255, 0);
    ASSERT_NE(layer, nullptr);
    ImageWindow *a = ListedWindow(g), *b = ListedWindow(nullptr);
    g_currentWindow = a;
    BuildMainMenu();
    HMENU bar = GetMainMenu();
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    // rctfile adds a separator (no recent files yet) and the popup goes on.
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 3);
    EXPECT_EQ(GetMenuItemID(file, 2), 32032u);
    // draw closes the popup being built and starts its own.
    EXPECT_EQ(Text(bar, 1), "&Draw");
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 32043u);
    HMENU windows = GetSubMenu(bar, 2);
    ASSERT_EQ(GetMenuItemCount(windows), 3);
    EXPECT_EQ(GetMenuItemID(windows, 1), 32401u);
    EXPECT_EQ(Text(windows, 1), std::string("&0|") + a->layerImage->name);
    EXPECT_EQ(Text(windows, 2), "&1|*** No Image ***");
    EXPECT_TRUE(Checked(windows, 32401));
    EXPECT_FALSE(Checked(windows, 32402));
    HMENU layers = GetSubMenu(bar, 3);
    ASSERT_EQ(GetMenuItemCount(layers), 3);
    EXPECT_EQ(Text(layers, 1), std::string("&0|") + g->base->name);
    EXPECT_EQ(Text(layers, 2), std::string("&1|") + layerImage->name);
    EXPECT_EQ(GetMenuItemID(layers, 2), 33002u);
    EXPECT_TRUE(Checked(layers, 33002)); // the new layer is current
    (void)b;
}

TEST_F(MenuTest, UndoItemsFollowTheChains)
{
    WriteMenu("QzMain.mnu", "@&Edit\n#Undo\n#Redo\n#RegionUndo\n#RegionRedo\n");
    ImageGroup *g = NewGroup();
    ImageWindow *w = ListedWindow(g);
    BuildMainMenu();
    HMENU menu = GetMainMenu();
    UpdateUndoMenuItems(w);
    for (int id : {32034, 32035, 32074, 32075})
        EXPECT_TRUE(Grayed(menu, id)) << id;
    // Records are only compared here, never followed.
    UndoRecord *first = (UndoRecord *)&g, *second = (UndoRecord *)&w;
    g->base->undoCurrent = first;
    g->base->undoLast = second;
    g->regionUndoCurrent = second;
    g->regionUndoLast = second;
    UpdateUndoMenuItems(w);
    EXPECT_FALSE(Grayed(menu, 32034));
    EXPECT_FALSE(Grayed(menu, 32035));
    EXPECT_FALSE(Grayed(menu, 32074));
    EXPECT_TRUE(Grayed(menu, 32075));
    UpdateUndoMenuItems(nullptr);
    EXPECT_TRUE(Grayed(menu, 32034));
    g->base->undoCurrent = g->base->undoLast = nullptr;
    g->regionUndoCurrent = g->regionUndoLast = nullptr;
}

TEST_F(MenuTest, WindowMenuMarks)
{
    WriteMenu("Dazaz.mnu", "@&View\n#SetZoom1\n#SetZoom2\n#SetZoom/8\n#ToggleGridDisplay\n#MaskDisplayON\n"
                           "#SwitchDither\n#RegionDisplayBlack\n#RegionDisplayAnimate\n#DispLayerFrame\n"
                           "#DispLayerNone\n");
    ImageWindow *w = ListedWindow(nullptr);
    w->display.zoom = -8;
    w->grid = 1;
    w->maskDisplay = 1;
    w->dither = 0;
    w->regionDisplayMode = 4;
    w->layerFrameMode = 0;
    BuildWindowMenu(w);
    HMENU m = w->menu;
    EXPECT_TRUE(Checked(m, 32049));
    EXPECT_FALSE(Checked(m, 32009));
    EXPECT_TRUE(Checked(m, 32044));
    EXPECT_TRUE(Checked(m, 32036));
    EXPECT_FALSE(Checked(m, 32033));
    EXPECT_TRUE(Checked(m, 32041));
    EXPECT_FALSE(Checked(m, 32038));
    EXPECT_TRUE(Checked(m, 32092));
    EXPECT_FALSE(Checked(m, 32089));

    CheckZoomMenuItem(w, -8, 0);
    CheckZoomMenuItem(w, 2, MF_CHECKED);
    CheckZoomMenuItem(w, -3, MF_CHECKED); // no item: nothing changes
    EXPECT_FALSE(Checked(m, 32049));
    EXPECT_TRUE(Checked(m, 32010));
    SetDisplayModeChecks(w, 0);
    EXPECT_FALSE(Checked(m, 32041));
    EXPECT_FALSE(Checked(m, 32092));
}

TEST_F(MenuTest, FixedPopupsAreMadeOnce)
{
    HMENU doCancel = CreateDoCancelPopup();
    EXPECT_EQ(CreateDoCancelPopup(), doCancel);
    EXPECT_EQ(GetMenuItemID(doCancel, 1), 30001u);
    HMENU reedit = CreateDoContinuePopup();
    ASSERT_EQ(GetMenuItemCount(reedit), 3);
    EXPECT_EQ(Text(reedit, 1), "Do&&Continue");
    HMENU member, clip;
    CreateClipPopups(&member, &clip);
    EXPECT_EQ(GetMenuItemID(member, 0), 30200u);
    EXPECT_EQ(GetMenuItemID(clip, 0), 30400u);
    EXPECT_EQ(GetMenuItemID(clip, 1), 30300u);
}

// The menu files and key map that ship with the program load cleanly and use every command.
TEST_F(MenuTest, DefaultFilesLoadWithoutMessagesAndHoldEveryCommand)
{
    std::string stat = std::string(OVRIN_TEST_DATA) + "/../../data/Stat";
    for (char &c : stat)
        if (c == '/')
            c = '\\';
    snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", stat.c_str());
    ASSERT_EQ(GetFileAttributesA((stat + "\\Ovrin.key").c_str()) == INVALID_FILE_ATTRIBUTES, false) << stat;
    LoadKeyMap();
    ImageWindow *w = ListedWindow(NewGroup());
    g_currentWindow = w;
    for (int lang = 0; lang <= 1; lang++) {
        g_cfg.LANG = lang;
        BuildMainMenu();
        BuildWindowMenu(w);
    }
    for (const CapturedBox &b : boxes.boxes)
        ADD_FAILURE() << b.text;
    EXPECT_EQ(GetMenuItemCount(GetMainMenu()), 8);
    EXPECT_EQ(GetMenuItemCount(w->menu), 6);
    for (const CommandEntry *row = CommandTable; row->name; row++)
        EXPECT_NE(GetMenuState(GetMainMenu(), row->id, MF_BYCOMMAND), (UINT)-1) << row->name;
    char key[64];
    KeyTextForCommand(32016, key, sizeof key);
    EXPECT_STREQ(key, "Ctrl+N");
    KeyTextForCommand(32034, key, sizeof key);
    EXPECT_STREQ(key, "Ctrl+Z");
}

namespace {

// The popup of a menu bar with that caption; NULL when there is none.
HMENU PopupNamed(HMENU bar, const char *caption)
{
    for (int i = 0; i < GetMenuItemCount(bar); i++) {
        char text[100] = "";
        GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
        if (strcmp(text, caption) == 0)
            return GetSubMenu(bar, i);
    }
    return nullptr;
}

// The command ids standing in the popup itself, not in its sub-popups.
std::vector<UINT> DirectIds(HMENU popup)
{
    std::vector<UINT> ids;
    for (int i = 0; popup && i < GetMenuItemCount(popup); i++)
        if (!GetSubMenu(popup, i) && GetMenuItemID(popup, i) != 0)
            ids.push_back(GetMenuItemID(popup, i));
    return ids;
}

bool Holds(const std::vector<UINT> &ids, std::initializer_list<UINT> wanted)
{
    for (UINT id : wanted)
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            return false;
    return true;
}

} // namespace

// The shipped menus read back from the built bars: each command stands where a user looks for it,
// not in the sub-popup that happens to come before it in the file.
TEST_F(MenuTest, DefaultMenusPutCommandsWhereUsersLook)
{
    std::string stat = std::string(OVRIN_TEST_DATA) + "/../../data/Stat";
    for (char &c : stat)
        if (c == '/')
            c = '\\';
    snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", stat.c_str());
    ImageWindow *w = ListedWindow(NewGroup());
    g_currentWindow = w;
    BuildMainMenu();
    BuildWindowMenu(w);
    HMENU bar = GetMainMenu();
    std::vector<std::string> titles;
    for (int i = 0; i < GetMenuItemCount(bar); i++)
        titles.push_back(Text(bar, i));
    ASSERT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&View", "&Image", "&Layer", "&Draw", "&Window",
                                                 "&Help"}));
    enum : UINT { Quit = 32032, Print = 32057, PageSetup = 32058, About = 32053, Grid = 32044, Mask = 32036,
                  Dither = 32033, Zoom1 = 32009, WallpaperC = 32050, NewLayer = 32070, DeleteLayer = 32078,
                  ShowLayer = 32071, MergeLayers = 32079, LayerFrame = 32089, LayerHalf = 32093, LayerNone = 32092,
                  Options = 32066, Effect = 32045, Undo = 32034 };
    HMENU file = PopupNamed(bar, "&File");
    EXPECT_TRUE(Holds(DirectIds(file), {Quit, Print, PageSetup}));
    EXPECT_EQ(DirectIds(file).back(), Quit) << "Quit closes the File menu";
    EXPECT_FALSE(Holds(DirectIds(file), {WallpaperC})) << "wallpaper items stay in their sub-popup";
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(bar, "&Edit")), {Undo, Effect, Options}));
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(bar, "&View")), {Grid, Mask, Dither}));
    EXPECT_FALSE(Holds(DirectIds(PopupNamed(bar, "&View")), {Zoom1})) << "zooms stay in their sub-popup";
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(bar, "&Layer")),
                      {NewLayer, DeleteLayer, ShowLayer, MergeLayers, LayerFrame, LayerHalf, LayerNone}));
    HMENU help = PopupNamed(bar, "&Help");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(GetMenuItemID(help, GetMenuItemCount(help) - 1), About) << "About ends the Help menu";

    // The image windows' own menus follow the same plan.
    HMENU own = w->menu;
    titles.clear();
    for (int i = 0; i < GetMenuItemCount(own); i++)
        titles.push_back(Text(own, i));
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&View", "&Image", "&Layer", "&Help"}));
    EXPECT_EQ(DirectIds(PopupNamed(own, "&File")).back(), Quit);
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(own, "&File")), {Print}));
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(own, "&View")), {Grid, Mask, Dither, Zoom1}));
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(own, "&Layer")),
                      {NewLayer, DeleteLayer, ShowLayer, MergeLayers, LayerFrame, LayerHalf, LayerNone}));
    EXPECT_TRUE(Holds(DirectIds(PopupNamed(own, "&Help")), {About}));

    // In language mode the captions change and the places stay.
    g_cfg.LANG = 1;
    BuildMainMenu();
    EXPECT_EQ(PopupNamed(GetMainMenu(), "&File"), nullptr);
    HMENU translated = GetSubMenu(GetMainMenu(), 0);
    EXPECT_EQ(DirectIds(translated).back(), Quit);
    for (const CapturedBox &b : boxes.boxes)
        ADD_FAILURE() << b.text;
}
