// The effect tree: the tree file read into its table, the tree view filled from it, read back when
// the dialog closes, and files too large for the tables.
#include "testsupport.h"
#include "plugins/effecttree.h"
#include "plugins/loader.h"
#include "base/settings.h"
#include <commctrl.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class EffectTreeTest : public HostTest {
protected:
    HWND dialog = nullptr;
    void SetUp() override
    {
        HostTest::SetUp();
        const char *names[] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"};
        for (int i = 0; i < 5; i++) {
            g_effectPlugins[i].module = (HMODULE)(INT_PTR)(0x100 + i); // a filled row; never called
            strcpy(g_effectPlugins[i].name, names[i]);
        }
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(147), nullptr, NoDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        ClearEffectTreeTable();
        g_cfg.LANG = 0;
    }
    void TearDown() override
    {
        DestroyWindow(dialog);
        memset(g_effectPlugins, 0, sizeof g_effectPlugins);
        HostTest::TearDown();
    }
    HWND Tree() { return GetDlgItem(dialog, kEffectTreeControl); }
    void Read(const std::string &text)
    {
        WriteFileText(dir.file("effect.tvf"), text);
        ASSERT_EQ(ReadEffectTreeFile(dir.file("effect.tvf").c_str()), 1);
    }
    // The tree as text: each item's text, a folder's children in brackets, "*" after an open one.
    std::string Shape(HTREEITEM item)
    {
        std::string out;
        for (; item; item = TreeView_GetNextSibling(Tree(), item)) {
            char text[100] = "";
            TVITEMA tv = {};
            tv.mask = TVIF_TEXT | TVIF_STATE;
            tv.hItem = item;
            tv.pszText = text;
            tv.cchTextMax = sizeof text;
            tv.stateMask = TVIS_EXPANDED;
            SendMessageA(Tree(), TVM_GETITEMA, 0, (LPARAM)&tv);
            out += text;
            HTREEITEM child = TreeView_GetChild(Tree(), item);
            if (child)
                out += std::string((tv.state & TVIS_EXPANDED) ? "*" : "") + "[" + Shape(child) + "]";
            out += " ";
        }
        return out;
    }
    std::string Shape() { return Shape(TreeView_GetRoot(Tree())); }
    std::vector<std::pair<int, int>> Entries()
    {
        std::vector<std::pair<int, int>> out;
        for (const EffectTreeEntry *e = GetEffectTreeEntries(); e->op != kTreeOpLast; e++)
            out.push_back({e->op, e->value});
        return out;
    }
};

const char kNested[] = "| Alpha\n"
                       "+ Tones 1 \"Tone label\"\n"
                       "| Beta\n"
                       "+ Inner 0 \"\"\n"
                       "| Gamma\n"
                       "/\n"
                       "/\n"
                       "| Missing\n"
                       "/\n"
                       "/\n"
                       "| Delta\n";

TEST_F(EffectTreeTest, FileArrangesEffectsInFolders)
{
    Read(kNested);
    std::vector<std::pair<int, int>> expect = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {2, -1},
                                               {2, -1}, {0, -1}, {2, -1}, {2, -1}, {0, 3}};
    EXPECT_EQ(Entries(), expect);
    EXPECT_STREQ(GetEffectTreeFolder(0)->label, "Tone label");
    g_cfg.LANG = 1;
    FillEffectTree(dialog);
    // Folder labels in language mode (the name when the label is empty); unplaced effects last.
    EXPECT_EQ(Shape(), "Effect[Alpha Tone label*[Beta Inner[Gamma ] ] Delta Epsilon ] ");
    g_cfg.LANG = 0;
    ClearEffectTree(dialog);
    FillEffectTree(dialog);
    EXPECT_EQ(Shape(), "Effect[Alpha Tones*[Beta Inner[Gamma ] ] Delta Epsilon ] ");
}

TEST_F(EffectTreeTest, UnknownLineEndsTheArrangementAndMissingFileKeepsTheTable)
{
    Read("| Gamma\n# note\n+ Late 1 x\n| Beta\n");
    FillEffectTree(dialog);
    EXPECT_EQ(Shape(), "Effect[Gamma Alpha Beta Delta Epsilon ] ");
    EXPECT_EQ(ReadEffectTreeFile(dir.file("none.tvf").c_str()), 0);
    EXPECT_EQ(Entries().size(), 4u);
}

TEST_F(EffectTreeTest, TreeIsReadBackWithItsOpenFolders)
{
    Read(kNested);
    FillEffectTree(dialog);
    HTREEITEM tones = (HTREEITEM)GetEffectTreeFolder(0)->item, inner = (HTREEITEM)GetEffectTreeFolder(1)->item;
    TreeView_SelectItem(Tree(), (HTREEITEM)g_effectPlugins[2].treeItem);
    EXPECT_EQ(GetSelectedTreeEffect(dialog), 2);
    TreeView_SelectItem(Tree(), tones);
    EXPECT_EQ(GetSelectedTreeEffect(dialog), -1);
    TreeView_Expand(Tree(), tones, TVE_COLLAPSE);
    TreeView_Expand(Tree(), inner, TVE_EXPAND);
    TreeView_Expand(Tree(), TreeView_GetRoot(Tree()), TVE_EXPAND);
    StoreEffectTree(dialog);
    std::vector<std::pair<int, int>> expect = {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {0, 2}, {2, -1}, {2, -1}, {0, 3}, {0, 4}};
    EXPECT_EQ(Entries(), expect);
    EXPECT_EQ(GetEffectTreeFolder(0)->expanded, 0);
    EXPECT_EQ(GetEffectTreeFolder(1)->expanded, 1);
    ClearEffectTree(dialog);
    FillEffectTree(dialog);
    EXPECT_EQ(Shape(), "Effect*[Alpha Tones[Beta Inner*[Gamma ] ] Delta Epsilon ] ");
    EXPECT_EQ(IsEffectTreeRootExpanded(), 1);
    EXPECT_EQ(ReadFileText(dir.file("effect.tvf")), kNested);
}

TEST_F(EffectTreeTest, OversizedFilesStayInsideTheTables)
{
    std::string longText(100, 'n'), text; // name and label past their fields, the line inside 255
    for (int i = 0; i < 260; i++)
        text += "+ " + longText + std::to_string(i) + " 1 " + longText + "\n";
    for (int i = 0; i < 2500; i++)
        text += "| Alpha\n";
    Read(text);
    std::vector<std::pair<int, int>> e = Entries();
    EXPECT_EQ(e.size(), (size_t)kTreeEntries - 1);
    EXPECT_EQ(e[kTreeFolders - 1].first, kTreeOpFolder);
    EXPECT_EQ(e[kTreeFolders].first, kTreeOpUnknown); // no room for folder 201
    EXPECT_EQ(strlen(GetEffectTreeFolder(0)->name), (size_t)kFolderNameBytes - 1);
    EXPECT_EQ(strlen(GetEffectTreeFolder(0)->label), (size_t)kFolderLabelBytes - 1);
    FillEffectTree(dialog); // 200 folders deep
    EXPECT_NE(g_effectPlugins[4].treeItem, nullptr);
}

} // namespace
