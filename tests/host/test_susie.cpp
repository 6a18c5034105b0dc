// Outside image readers: the modules the table keeps, the open filter built from them, the
// directory found at start-up, and files opened through them.
#include "reader_fixture.h"
#include "files/openimage.h"
#include "image/cdib.h"
#include "image/group.h"
#include "image/imagelist.h"
#include "plugins/loader.h"
#include <algorithm>

using Strings = std::vector<std::string>;

static Strings Sorted(Strings s)
{
    std::sort(s.begin(), s.end());
    return s;
}

// Two import filters among an archive extractor, modules lacking one entry and a file that is no
// module: the readers fill rows 0 and 1, row 2 ends the table, every other module is freed.
TEST_F(ReaderTest, ImportFiltersAreKeptAndTheOpenFilterListsThem)
{
    for (const char *file : {"pngread.spi", "archive.spi", "noinfo.spi", "nopicture.spi", "nosupport.spi",
                             "ppmread.spi"})
        Install(g_cfg.Susie_dir, file);
    WriteFileText(std::string(g_cfg.Susie_dir) + "\\bad.spi", "not a module");
    LoadSusiePlugins();

    ASSERT_EQ(CountSusieReaders(), 2);
    EXPECT_EQ(Sorted({g_susieReaders[0].file, g_susieReaders[1].file}), (Strings{"pngread.spi", "ppmread.spi"}));
    EXPECT_EQ(g_susieReaders[2].state, 1u);
    EXPECT_EQ(g_susieReaders[2].module, nullptr);
    EXPECT_EQ(Sorted(Texts()), (Strings{"bad.spi:Can't load!", "noinfo.spi:Can't get GETPLUGININFO function!",
                                        "nopicture.spi:Can't get GETPICTURE function!",
                                        "nosupport.spi:Can't get ISSUPPORTED function!"}));
    for (const char *file : {"archive.spi", "noinfo.spi", "nopicture.spi", "nosupport.spi"})
        EXPECT_EQ(GetModuleHandleA(file), nullptr) << file << " is still loaded";

    // The filter in the readers' order: patterns and descriptions as each reader gives them.
    std::string pattern[2], description[2];
    for (int i = 0; i < 2; i++) {
        bool png = std::string(g_susieReaders[i].file) == "pngread.spi";
        pattern[i] = png ? "*.png" : "*.ppm";
        description[i] = png ? "PNG stored" : "Portable pixmap";
    }
    std::string expected = "All Image File|*.mrf;*.bmp;" + pattern[0] + ";" + pattern[1] +
                           "|Mirel File (*.mrf)|*.mrf|BMP (*.bmp)|*.bmp|" + description[0] + " (" + pattern[0] +
                           ")|" + pattern[0] + "|" + description[1] + " (" + pattern[1] + ")|" + pattern[1] + "|";
    EXPECT_EQ(std::string(GetOpenFilterText()), expected);
    // Loaded again (the reload command), the filter is built anew, not appended to.
    boxes.boxes.clear();
    LoadSusiePlugins();
    EXPECT_EQ(std::string(GetOpenFilterText()), expected);
    // For the dialog: NUL-separated, ended by an empty string.
    SplitBarList(GetOpenFilterText());
    std::string split(GetOpenFilterText(), expected.size() + 1);
    std::replace(expected.begin(), expected.end(), '|', '\0');
    EXPECT_EQ(split, expected + '\0');

    FreeSusiePlugins();
    EXPECT_EQ(CountSusieReaders(), 0);
    EXPECT_EQ(GetModuleHandleA("pngread.spi"), nullptr);
}

// While the directory is unknown no reader is loaded and the filter stays as it was, whatever
// earlier loads in the same process made of it.
TEST_F(ReaderTest, UnknownDirectoryLoadsNothing)
{
    Install(g_cfg.Susie_dir, "pngread.spi");
    snprintf(g_cfg.Susie_dir, kPathBytes, "???");
    std::string before(GetOpenFilterText(), kOpenFilterBytes);
    LoadSusiePlugins();
    EXPECT_EQ(CountSusieReaders(), 0);
    EXPECT_EQ(std::string(GetOpenFilterText(), kOpenFilterBytes), before);
    EXPECT_TRUE(boxes.boxes.empty());
}

namespace {
const char kSusieKey[] = "Software\\Morivan\\Susie\\Plug-in";

void DeleteSusieKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kSusieKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Morivan\\Susie");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Morivan");
}

// The prefix is shared with the program's own runs: the key never outlives the test.
struct SusieKeyRemover {
    ~SusieKeyRemover() { DeleteSusieKey(); }
};
} // namespace

// The registry's Path value, read as at most 512 bytes and ended by hand, names the directory;
// without it the program's own "ssPlug" folder is made and used.
TEST_F(ReaderTest, DirectoryFromTheRegistryOrTheProgramsOwn)
{
    SusieKeyRemover remover;
    std::string own = dir.file("ssPlug");
    RemoveDirectoryA(own.c_str());
    std::string longest = "C:\\" + std::string(508, 'r'); // 511 bytes
    struct Case {
        const char *what;
        bool key, value;
        std::string path, directory;
        bool shown; // the box shows the path (a value that does not fit may be shown empty)
    } cases[] = {
        {"no key", false, false, "", own, false},
        {"a key without Path", true, false, "", own, true},
        {"a Path", true, true, "C:\\readers", "C:\\readers", true},
        {"a Path of 511 bytes stored without its NUL", true, true, longest, longest, true},
        {"a Path of 512 bytes, which no directory can hold", true, true, longest + "x", own, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DeleteSusieKey();
        if (c.key) {
            HKEY key;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSusieKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL),
                      ERROR_SUCCESS);
            if (c.value)
                RegSetValueExA(key, "Path", 0, REG_SZ, (const BYTE *)c.path.data(), (DWORD)c.path.size());
            RegCloseKey(key);
        }
        snprintf(g_cfg.Susie_dir, kPathBytes, "???");
        boxes.boxes.clear();
        FindSusieDirectory();
        EXPECT_EQ(std::string(g_cfg.Susie_dir), c.directory);
        if (c.key) {
            ASSERT_EQ(boxes.boxes.size(), 1u);
            EXPECT_EQ(boxes.boxes[0].text.find("Susie Plug-in directory :"), 0u);
            if (c.shown) {
                EXPECT_EQ(boxes.boxes[0].text, "Susie Plug-in directory :" + c.path);
            }
            EXPECT_EQ(boxes.boxes[0].caption, "MES");
        } else {
            EXPECT_TRUE(boxes.boxes.empty());
        }
        if (c.directory == own) {
            EXPECT_TRUE(GetFileAttributesA(own.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        }
    }
    // A directory already set is kept, whatever the registry says.
    snprintf(g_cfg.Susie_dir, kPathBytes, "C:\\set");
    boxes.boxes.clear();
    FindSusieDirectory();
    EXPECT_STREQ(g_cfg.Susie_dir, "C:\\set");
    EXPECT_TRUE(boxes.boxes.empty());
}

// A picture named on the command line is read by the first reader that takes it; its pixels are
// checked against the formula that made the file.
TEST_F(ReaderTest, FilesOpenThroughTheReaderThatTakesThem)
{
    LoadReaders({"pngread.spi", "ppmread.spi"});
    const int w = 5, h = 3;
    auto red = [](int x, int y) { return 40 * x + 7; };
    auto green = [](int x, int y) { return 60 * y + 3; };
    auto blue = [](int x, int y) { return 10 * x * y; };
    std::string ppm = "P6\n# made by the test\n5 3\n255\n";
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            ppm += {(char)red(x, y), (char)green(x, y), (char)blue(x, y)};
    std::string path = dir.file("pic.ppm");
    ASSERT_EQ(path.find(' '), std::string::npos) << "a command line cannot name it";
    WriteFileText(path, ppm);

    OpenCommandLineFiles(path.c_str());
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_NE(g_lastGroup, nullptr);
    CDIB *image = g_lastGroup->base;
    int iw, ih, depth;
    ASSERT_TRUE(GetImageSize(image, &iw, &ih, &depth));
    ASSERT_EQ(iw, w);
    ASSERT_EQ(ih, h);
    EXPECT_EQ(depth, 32);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            EXPECT_EQ(((uint32_t *)image->pixels)[y * w + x],
                      (uint32_t)(blue(x, y) | green(x, y) << 8 | red(x, y) << 16 | 0xFF000000u))
                << x << "," << y;
    EXPECT_EQ(std::string(image->format, strnlen(image->format, sizeof image->format)), "*.ppm");
    EXPECT_EQ(std::string(image->path), path);

    // Taken by no reader and no BMP: 17. Taken by a reader that then fails: 18.
    struct Bad {
        const char *file, *content, *message;
    } bad[] = {
        {"other.ppm", "P5 1 1 255 x", "Not supported format!"},
        {"cut.ppm", "P6\n5 3\n255\nabc", "Can't get picture! Maybe loader Ver. is low."},
    };
    for (const Bad &b : bad) {
        boxes.boxes.clear();
        WriteFileText(dir.file(b.file), b.content);
        CDIB *last = g_lastImage;
        EXPECT_EQ(OpenImageFile(dir.file(b.file).c_str(), 1, 0), 1);
        EXPECT_EQ(g_lastImage, last);
        EXPECT_EQ(Texts(), Strings{b.message});
    }
}
