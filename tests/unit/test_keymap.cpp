// The key map, the accelerator table, key texts and commands registered by plug-ins.
#include "testsupport.h"
#include "shell/commands.h"
#include "shell/commands_pending.h"
#include "base/messages.h"
#include "base/settings.h"
#include "shell/keymap.h"
#include "view/winlist.h"
#include "shell/winproc.h"
#include <string.h>
#include <string>

class KeyMapTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        snprintf(g_cfg.Stat_dir, sizeof g_cfg.Stat_dir, "%s", dir.path().c_str());
        ClearKeyTables();
    }
    void TearDown() override
    {
        FreeKeyCommands();
        ClearKeyTables();
        HostTest::TearDown();
    }
    void LoadMap(const std::string &text)
    {
        WriteFileText(dir.file("Ovrin.key"), text);
        ClearKeyTables();
        LoadKeyMap();
    }
    std::string KeyText(int id)
    {
        char out[64];
        KeyTextForCommand(id, out, sizeof out);
        return out;
    }
};

TEST_F(KeyMapTest, KeyTokens)
{
    struct Case {
        const char *token;
        bool ok;
        int table, key;
    } cases[] = {
        {"^z", true, kKeyTableCtrl, 'Z'},        {"^Z", true, kKeyTableCtrl, 'Z'},
        {"~F5", true, kKeyTableCtrlShift, 116}, {"@x", true, kKeyTableAlt, 'X'},
        {"\\a", true, kKeyTablePlain, 'A'},     {"F24", true, kKeyTablePlain, 135},
        {"SPACE", true, kKeyTablePlain, 32},    {"f5", true, kKeyTablePlain, 'F'}, // names match exactly
        {"7", true, kKeyTablePlain, '7'},       {"", false, 0, 0},
        {"^", false, 0, 0},
    };
    for (const Case &c : cases) {
        int table = -1, key = -1;
        EXPECT_EQ(ParseKeyToken(c.token, &table, &key), c.ok) << c.token;
        if (c.ok) {
            EXPECT_EQ(table, c.table) << c.token;
            EXPECT_EQ(key, c.key) << c.token;
        }
    }
}

TEST_F(KeyMapTest, LaterLinesWinTheKeyEarlierLinesTheMenuText)
{
    LoadMap("# comment line\n"
            "\n"
            "^Z Undo\r\n"
            "^z Redo\n"
            "~F5 Quit\n"
            "LEFTARROW ScrollLeft\n"
            "@x SetZoom2\n");
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(GetKeyBinding(kKeyTableCtrl, 'Z'), 32035);
    EXPECT_EQ(KeyText(32034), "Ctrl+Z");
    EXPECT_EQ(KeyText(32035), "Ctrl+Z");
    EXPECT_EQ(KeyText(32032), "Ctrl+Shift+F5");
    EXPECT_EQ(KeyText(32010), "Alt+X");
    EXPECT_EQ(GetKeyBinding(kKeyTablePlain, VK_LEFT), 32691);
    EXPECT_EQ(KeyText(32691), ""); // outside the first-binding range
    EXPECT_EQ(KeyText(32017), "");

    // One accelerator per bound key and table, keys in ascending order.
    HACCEL table = BuildAcceleratorTable();
    ASSERT_NE(table, nullptr);
    ACCEL entries[8];
    ASSERT_EQ(CopyAcceleratorTableA(table, entries, 8), 4);
    struct Want {
        BYTE flags;
        WORD key, cmd;
    } want[] = {{FVIRTKEY, VK_LEFT, 32691},
                {FVIRTKEY | FALT, 'X', 32010},
                {FVIRTKEY | FCONTROL, 'Z', 32035},
                {FVIRTKEY | FCONTROL | FSHIFT, 116, 32032}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(entries[i].fVirt, want[i].flags) << i;
        EXPECT_EQ(entries[i].key, want[i].key) << i;
        EXPECT_EQ(entries[i].cmd, want[i].cmd) << i;
    }
    DestroyAcceleratorTable(table);
}

// Bad lines are skipped and told in one box that names the file and each bad line by number; the
// same file read again says nothing until it changes, and during a batch the report joins it.
TEST_F(KeyMapTest, BadLinesAreToldOnceInOneBoxAndSkipped)
{
    std::string longName(400, 'Q');
    LoadMap("^ Undo\n"
            "^q NoSuchCommand\n"
            "^r undo\n" // command names match exactly
            "   \n"
            "^w " + longName + "\n"
            "^s SaveImage\n");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "Error");
    std::string text = boxes.boxes[0].text;
    std::string want = dir.file("Ovrin.key") + "\nline 1: ^ is error in keymap file\n"
                       "line 2: NoSuchCommand is not registed\nline 3: undo is not registed\n"
                       "line 4:  is error in keymap file\nline 5: QQQ";
    EXPECT_EQ(text.substr(0, want.size()), want);
    EXPECT_LT(text.size() - text.rfind('\n'), 300u); // the over-long name was cut
    EXPECT_EQ(GetKeyBinding(kKeyTableCtrl, 'S'), 32027);

    ClearKeyTables();
    LoadKeyMap();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(GetKeyBinding(kKeyTableCtrl, 'S'), 32027);

    SetMessageBatching(true);
    LoadMap("^ Undo\n^s SaveImage\n");
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(std::string(MessageBatchText()), dir.file("Ovrin.key") + "\nline 1: ^ is error in keymap file");
    EXPECT_TRUE(IsMessageBatching());
}

TEST_F(KeyMapTest, MissingKeyMapLeavesNoKeys)
{
    ClearKeyTables();
    LoadKeyMap();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Can't open keymap file");
    EXPECT_EQ(BuildAcceleratorTable(), nullptr);
}

TEST_F(KeyMapTest, PluginCommandsAreBoundByName)
{
    ASSERT_EQ(QzsRegisterKeyCommand(77, "PenBigger", 5), 1);
    ASSERT_EQ(QzsRegisterKeyCommand(78, "PenSmaller", 6), 1);
    EXPECT_EQ(QzsRegisterKeyCommand(79, nullptr, 0), 0);
    LoadMap("^b PenSmaller\n");
    EXPECT_EQ(GetKeyBinding(kKeyTableCtrl, 'B'), 25001);
    int id;
    const char *label;
    ASSERT_TRUE(LookUpCommand("PenBigger", &id, &label));
    EXPECT_EQ(id, 25000);
    EXPECT_STREQ(label, "*** Added Command ***");
    INT_PTR owner;
    int param;
    ASSERT_EQ(FindKeyCommand(25001, &owner, &param), 1);
    EXPECT_EQ(owner, 78);
    EXPECT_EQ(param, 6);
    EXPECT_EQ(FindKeyCommand(25002, &owner, &param), 0);
    // The way back to the owner's plug-in is tested with a plug-in loaded (tests/host).
}

TEST_F(KeyMapTest, AKeyOfTheMapReachesTheDispatcherThroughTheAcceleratorTable)
{
    LoadMap("F2 ChangeDrawMode\n");
    HACCEL table = BuildAcceleratorTable();
    ASSERT_NE(table, nullptr);
    RegisterImageWindowClass();
    ImageWindow *w = CreateImageWindow(0, 0, 100, 100);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(QzsGetClickMode(), 1);
    PostMessageA(w->window, WM_KEYDOWN, VK_F2, 0);
    MSG m;
    while (PeekMessageA(&m, w->window, 0, 0, PM_REMOVE))
        if (!TranslateAcceleratorA(w->window, table, &m))
            DispatchMessageA(&m);
    EXPECT_EQ(QzsGetClickMode(), 2); // ChangeDrawMode ran
    DestroyAcceleratorTable(table);
}
