#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "core/fake_direct3d.h"
#include "core/game_application.h"
#include "engine/run_log.h"

namespace {

D3DDISPLAYMODE Mode(UINT width, UINT height, D3DFORMAT format, UINT refresh = 60) {
    return D3DDISPLAYMODE{width, height, refresh, format};
}

// In text mode, as the run log is written: its lines end in CR LF on Windows.
std::string ReadFile(const char* name) {
    std::ifstream file(name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Runs each test in a fresh working directory, where the report and the run
// log are written.
class EnumerationTest : public testing::Test {
  protected:
    std::filesystem::path previous;
    std::filesystem::path folder;
    FakeDirect3D d3d;
    GameApplication app;

    void SetUp() override {
        previous = std::filesystem::current_path();
        folder =
            std::filesystem::temp_directory_path() /
            ("backfire_enum_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        app.direct3D = &d3d;
        app.creationWidth = 800;
        app.creationHeight = 600;
    }
    void TearDown() override {
        app.direct3D = nullptr;
        TheRunLog.enabled = 0;
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }

    // A desktop in 32-bit colour whose HAL takes formats 22 and 23.
    FakeAdapter& TypicalAdapter() {
        FakeAdapter adapter;
        adapter.modes = {Mode(640, 480, D3DFMT_X8R8G8B8), Mode(800, 600, D3DFMT_X8R8G8B8),
                         Mode(800, 600, D3DFMT_R5G6B5), Mode(640, 480, D3DFMT_R5G6B5)};
        adapter.caps[D3DDEVTYPE_HAL] = UsableCaps();
        adapter.caps[D3DDEVTYPE_REF] = UsableCaps();
        adapter.formats[D3DDEVTYPE_HAL] = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
        adapter.formats[D3DDEVTYPE_REF] = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
        d3d.adapters.push_back(adapter);
        return d3d.adapters.back();
    }
    const DeviceRecord& Chosen() {
        const AdapterRecord& adapter = app.adapters[app.currentAdapter];
        return adapter.devices[adapter.currentDevice];
    }
    const ModeRecord& ChosenMode() { return Chosen().modes[Chosen().currentMode]; }
};

} // namespace

TEST_F(EnumerationTest, SixteenBitModeOfTheRequestedSizeIsPreferred) {
    TypicalAdapter();
    ASSERT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(Chosen().deviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(ChosenMode().width, 800u);
    EXPECT_EQ(ChosenMode().format, D3DFMT_R5G6B5);
    EXPECT_EQ(ChosenMode().depthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(ChosenMode().behaviorFlags, D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    EXPECT_EQ(app.windowed, 0);
    // Sorted by format descending, then size ascending.
    ASSERT_EQ(Chosen().modeCount, 4u);
    EXPECT_EQ(Chosen().modes[0].format, D3DFMT_R5G6B5);
    EXPECT_EQ(Chosen().modes[0].width, 640u);
    EXPECT_EQ(Chosen().modes[2].format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(Chosen().modes[2].width, 640u);
}

TEST_F(EnumerationTest, OnlyFormat22IsChosenWhenAlone) {
    FakeAdapter& adapter = TypicalAdapter();
    adapter.formats[D3DDEVTYPE_HAL] = {D3DFMT_X8R8G8B8};
    ASSERT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(ChosenMode().width, 800u);
    EXPECT_EQ(ChosenMode().format, D3DFMT_X8R8G8B8);
}

TEST_F(EnumerationTest, MissingSizeFallsBackToModeZero) {
    TypicalAdapter();
    app.creationWidth = 1024;
    app.creationHeight = 768;
    ASSERT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(Chosen().currentMode, 0u);
    EXPECT_EQ(ChosenMode().format, D3DFMT_R5G6B5);
    EXPECT_EQ(ChosenMode().width, 640u);
}

TEST_F(EnumerationTest, SmallModesAreLoggedButNeverOfferedAndRefreshRatesCollapse) {
    FakeAdapter& adapter = TypicalAdapter();
    adapter.modes.push_back(Mode(640, 350, D3DFMT_X8R8G8B8, 70));
    adapter.modes.push_back(Mode(800, 600, D3DFMT_X8R8G8B8, 85));
    TheRunLog.enabled = 1;
    ASSERT_EQ(app.Enumerate(0), S_OK);
    for (uint32_t m = 0; m < Chosen().modeCount; ++m) {
        EXPECT_NE(Chosen().modes[m].height, 350u);
    }
    EXPECT_EQ(Chosen().modeCount, 4u);

    const std::string log = ReadFile("autolog.dat");
    EXPECT_NE(log.find("fake.drv\nFake Adapter\nDesktop is 800x600, 60hz, Format 22\n"), std::string::npos);
    EXPECT_NE(log.find("   Mode: 0640x0350, 0070hz, Format 022\n"), std::string::npos);
    EXPECT_NE(log.find("   Mode: 0800x0600, 0085hz, Format 022\n"), std::string::npos);
    EXPECT_NE(
        log.find("      ************Device: HAL\n      Valid Format: 22\n      ***Windowed mode is possible\n"
                 "      ***Windowed mode is possible for current desktop\n"
                 "      D3DCREATE_SOFTWARE_VERTEXPROCESSING      Depth Stencil Format 80\n"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("\n      So valid modes for this device are:\n\n"
                       "      Mode: 0640x0480, Screen Format 023, Stencil Format 080, behavior flags 20\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Mode: 0640x0350, Screen"), std::string::npos);
}

TEST_F(EnumerationTest, ReportHoldsExactlyTheHeader) {
    {
        std::ofstream old("VideoCardInfo.txt");
        old << "stale content that must go\n";
    }
    TypicalAdapter();
    app.Enumerate(0);
    EXPECT_EQ(ReadFile("VideoCardInfo.txt"), "VANTRY video system enumeration\n\n");
}

TEST_F(EnumerationTest, VertexProcessingFollowsTheGamesDeviceCheck) {
    FakeAdapter& adapter = TypicalAdapter();
    D3DCAPS8 hardware = UsableCaps();
    hardware.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT | D3DDEVCAPS_PUREDEVICE;
    adapter.caps[D3DDEVTYPE_HAL] = hardware;
    ASSERT_EQ(app.Enumerate(0), S_OK);
    // No point size: neither pure, hardware nor mixed passes.
    EXPECT_EQ(ChosenMode().behaviorFlags, D3DCREATE_SOFTWARE_VERTEXPROCESSING);

    hardware.MaxPointSize = 64.0f;
    d3d.adapters[0].caps[D3DDEVTYPE_HAL] = hardware;
    ASSERT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(ChosenMode().behaviorFlags, D3DCREATE_HARDWARE_VERTEXPROCESSING);
}

TEST_F(EnumerationTest, WindowNeedsADeviceThatRendersIntoTheDesktopFormat) {
    FakeAdapter& adapter = TypicalAdapter();
    ASSERT_EQ(app.Enumerate(1), S_OK);
    EXPECT_EQ(app.windowed, 1);
    EXPECT_EQ(Chosen().windowed, 1);

    adapter.formats[D3DDEVTYPE_HAL] = {D3DFMT_R5G6B5};
    adapter.formats[D3DDEVTYPE_REF] = {D3DFMT_R5G6B5};
    EXPECT_EQ(app.Enumerate(1), static_cast<HRESULT>(0x82000004u));
    EXPECT_EQ(app.Enumerate(0), S_OK);
}

TEST_F(EnumerationTest, NoUsableAdapterIsReported) {
    EXPECT_EQ(app.Enumerate(0), static_cast<HRESULT>(0x82000003u));
    FakeAdapter& adapter = TypicalAdapter();
    adapter.formats.clear();
    EXPECT_EQ(app.Enumerate(0), static_cast<HRESULT>(0x82000003u));
    // A depth buffer is wanted and the adapter offers none.
    d3d.adapters.clear();
    TypicalAdapter().depthFormats.clear();
    EXPECT_EQ(app.Enumerate(0), static_cast<HRESULT>(0x82000003u));
}

TEST_F(EnumerationTest, ReferenceRasteriserIsAWarningWithoutABox) {
    FakeAdapter& adapter = TypicalAdapter();
    adapter.formats[D3DDEVTYPE_HAL].clear();
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Chosen().deviceType, D3DDEVTYPE_REF);
}

TEST_F(EnumerationTest, AdapterWithoutDevicesKeepsTheLaterAdaptersOrdinal) {
    FakeAdapter& unusable = TypicalAdapter();
    unusable.formats.clear();
    TypicalAdapter();
    ASSERT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(app.adapterCount, 1u);
    EXPECT_EQ(app.currentAdapter, 0u);
    EXPECT_EQ(app.adapters[0].ordinal, 1u);
}

TEST_F(EnumerationTest, DepthFormatsAreTriedInOrder) {
    FakeAdapter& adapter = TypicalAdapter();
    adapter.depthFormats = {D3DFMT_D15S1, D3DFMT_D24S8, D3DFMT_D32};
    EXPECT_EQ(app.FindDepthFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), D3DFMT_D24S8);
    // One stencil bit rules out the formats without stencil; 16 depth bits rule out D15S1.
    app.minStencilBits = 1;
    EXPECT_EQ(app.FindDepthFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), D3DFMT_D24S8);
    app.minDepthBits = 15;
    EXPECT_EQ(app.FindDepthFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), D3DFMT_D15S1);
    app.minDepthBits = 32;
    app.minStencilBits = 0;
    EXPECT_EQ(app.FindDepthFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), D3DFMT_D32);
    adapter.depthFormats.clear();
    EXPECT_EQ(app.FindDepthFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), D3DFMT_UNKNOWN);
}

TEST_F(EnumerationTest, SurplusModesAreIgnored) {
    FakeAdapter& adapter = TypicalAdapter();
    adapter.modes.clear();
    for (UINT i = 0; i < 130; ++i) {
        adapter.modes.push_back(Mode(640 + i, 480, D3DFMT_X8R8G8B8));
        adapter.modes.push_back(Mode(640 + i, 480, D3DFMT_R5G6B5));
    }
    ASSERT_EQ(app.Enumerate(0), S_OK);
    EXPECT_EQ(Chosen().modeCount, 100u);
}
