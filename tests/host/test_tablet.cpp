// Tablet pressure through the stand-in Wintab library: the context the program opens, the newest of
// several queued packets, values kept between reads, the flush at a stroke's end, drivers that
// report no pressure range or never run dry, and the pressure reaching the pen selector's pen.
#include "loader_fixture.h"
#include "base/notify.h"
#include "draw/drawmouse_internal.h"
#include "plugins/subwin.h"
#include "shell/tablet.h"
#include "shell/wintab.h"

namespace {

class TabletTest : public LoaderTest {
protected:
    std::string library;
    HMODULE fake = nullptr;

    void SetUp() override
    {
        LoaderTest::SetUp();
        // Under its own name the stand-in would give way to the system's library of that name.
        library = std::string(g_cfg.Stat_dir) + "\\faketab.dll";
        std::string from = std::string("Z:") + OVRIN_FAKE_TABLET;
        for (char &c : from)
            if (c == '/')
                c = '\\';
        ASSERT_TRUE(CopyFileA(from.c_str(), library.c_str(), FALSE)) << from;
        fake = LoadLibraryA(library.c_str());
        ASSERT_NE(nullptr, fake);
        g_notify.readTablet = ReadTabletPacket;
        g_notify.flushTablet = FlushTabletPackets;
    }
    void TearDown() override
    {
        CloseTablet();
        if (fake)
            FreeLibrary(fake);
        DeleteFileA(library.c_str());
        LoaderTest::TearDown();
    }
    template <class T> T Fake(const char *name) { return (T)(void *)GetProcAddress(fake, name); }
    void Queue(int x, int y, int pressure) { Fake<void(WINAPI *)(int, int, int)>("FakeTabletQueue")(x, y, pressure); }
    void SetMaximum(int m) { Fake<void(WINAPI *)(int)>("FakeTabletSetMaximum")(m); }
    struct Read {
        int ok, x, y, pressure, maximum;
    };
    static Read ReadNow()
    {
        Read r;
        r.ok = ReadTabletPacket(&r.x, &r.y, &r.pressure, &r.maximum);
        return r;
    }
};

} // namespace

TEST_F(TabletTest, WithoutALibraryOrAPressureRangeThereIsNoTablet)
{
    ASSERT_EQ(0, InitTabletFrom("C:\\no\\such\\wintab.dll", nullptr));
    EXPECT_EQ(0, QzsCheckTablet());
    Read r = ReadNow();
    EXPECT_EQ(0, r.ok);
    EXPECT_EQ(255, r.pressure);
    int x, y, p, m;
    AskTabletPacket(&x, &y, &p, &m);
    EXPECT_EQ(255, p);
    EXPECT_EQ(0, m);

    // A tablet whose pressure axis has no positive maximum opens no context and reads nothing.
    for (int maximum : {0, -5}) {
        SetMaximum(maximum);
        Queue(3, 4, 100);
        EXPECT_EQ(0, InitTabletFrom(library.c_str(), nullptr)) << maximum;
        EXPECT_EQ(0, QzsCheckTablet()) << maximum;
        EXPECT_EQ(0, Fake<int(WINAPI *)(WintabContext *, HWND *)>("FakeTabletOpened")(nullptr, nullptr));
        EXPECT_EQ(255, ReadNow().pressure) << maximum;
    }
}

TEST_F(TabletTest, TheContextIsOpenedOnTheWindowAndTheNewestPacketCounts)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_EQ(1, InitTabletFrom(library.c_str(), window));
    EXPECT_EQ(1, QzsCheckTablet());
    WintabContext c;
    HWND on = nullptr;
    ASSERT_EQ(1, Fake<int(WINAPI *)(WintabContext *, HWND *)>("FakeTabletOpened")(&c, &on));
    EXPECT_EQ(window, on);
    EXPECT_EQ(0x7FF0u, c.msgBase);
    EXPECT_EQ(0x15C2u, c.packetData);
    EXPECT_EQ(0x15C2u, c.moveMask);
    EXPECT_EQ(0x40u, c.packetMode);
    EXPECT_EQ(c.buttonDownMask, c.buttonUpMask);
    EXPECT_EQ(0x5u, c.buttonDownMask); // the rest of the default context kept

    // Nothing read yet: the start values, with the range's maximum.
    Read r = ReadNow();
    EXPECT_EQ(1, r.ok);
    EXPECT_EQ(0, r.x);
    EXPECT_EQ(255, r.pressure);
    EXPECT_EQ(1023, r.maximum);

    // More packets than one batch holds: only the newest counts, and it stays while nothing comes.
    for (int i = 0; i < 70; i++)
        Queue(i, 2 * i, 10 + i);
    r = ReadNow();
    EXPECT_EQ(0, Fake<int(WINAPI *)()>("FakeTabletQueued")());
    EXPECT_EQ(69, r.x);
    EXPECT_EQ(138, r.y);
    EXPECT_EQ(79, r.pressure);
    r = ReadNow();
    EXPECT_EQ(79, r.pressure);

    // A value past the range is held to its maximum.
    Queue(1, 1, 5000);
    EXPECT_EQ(1023, ReadNow().pressure);

    // The stroke ends: what was queued is dropped, so the next stroke starts without it.
    Queue(5, 5, 900);
    FlushTabletPackets();
    EXPECT_EQ(0, Fake<int(WINAPI *)()>("FakeTabletQueued")());
    EXPECT_EQ(1023, ReadNow().pressure);

    // A driver that never runs dry does not hold the program.
    Fake<void(WINAPI *)(int)>("FakeTabletEndless")(1);
    EXPECT_EQ(7, ReadNow().pressure);
    FlushTabletPackets();
    Fake<void(WINAPI *)(int)>("FakeTabletEndless")(0);
    DestroyWindow(window);
}

// The draw machinery hands the pressure to the pen selector, which made the pen; without a tablet
// its pen stays as it is and its pressure boxes stay disabled.
TEST_F(TabletTest, PressureReachesThePenMakerOnlyWithATablet)
{
    for (bool tablet : {false, true}) {
        SCOPED_TRACE(tablet);
        if (tablet) {
            ASSERT_EQ(1, InitTabletFrom(library.c_str(), nullptr));
        }
        ASSERT_EQ(1, QzsCreatePen(49));
        PutDelivered(g_cfg.Subwin_dir, "Subwin", "pens");
        ASSERT_EQ(1, LoadSubWindowPlugins());
        CreateSubWindows();
        HWND window = g_subWindows[0].window;
        ASSERT_NE(nullptr, window);
        EXPECT_EQ(tablet, IsWindowEnabled(GetDlgItem(window, 600)) != 0);
        ASSERT_EQ(1, QzsCreatePenShape(window, "RECT 8100100 TFF"));
        auto box = [] { return QzsGetPen()->right - QzsGetPen()->left + 1; };
        ASSERT_EQ(8, box());

        Queue(10, 10, 1023);
        Queue(10, 10, 512); // 8 x 512 / 1023: 4
        int x, y, pressure;
        SendPenPressure(&x, &y, &pressure);
        EXPECT_EQ(tablet ? 512 : 255, pressure);
        EXPECT_EQ(tablet ? 4 : 8, box());
        EndPenPressure();
        EXPECT_EQ(8, box());
        SavePluginListsAndUnload();
        CloseTablet();
    }
}
