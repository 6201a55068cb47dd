#include "engine/camera.h"
#include "engine/run_log.h"
#include "engine/video_list.h"

#include "engine_test_dir.h"
#include "sprite_test_app.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// The application on a recording device, in a fresh directory with the run log on.
class VideoListTest : public SpriteTestApp {
  protected:
    void SetUp() override {
        SpriteTestApp::SetUp();
        directory = std::make_unique<ScratchDirectory>();
        WriteFile("als.dat", "0");
        TheRunLog.Start("App Start");
    }
    void TearDown() override {
        TheRunLog.enabled = 0;
        directory.reset();
        SpriteTestApp::TearDown();
    }
    static std::string LoggedAfterHeader() {
        const std::string text = ReadFile("autolog.dat");
        return text.substr(text.find("\n\n") + 2);
    }
    std::unique_ptr<ScratchDirectory> directory;
};

} // namespace

TEST_F(VideoListTest, CreationIsLoggedAndSuccessOnlyWhenItHappened) {
    auto* list = new VideoDataObject(112, ScreenVertexFormat);
    EXPECT_EQ(list->created, 1);
    EXPECT_EQ(list->vertexBytes, 112);
    EXPECT_EQ(list->vertexFormat, 0x144u);
    ASSERT_NE(list->vertexBuffer, nullptr);
    TheVideoList->Add(list);

    device.vertexBufferResult = D3DERR_OUTOFVIDEOMEMORY;
    auto* failed = new VideoDataObject(112, ScreenVertexFormat);
    EXPECT_EQ(failed->created, 0);
    TheVideoList->Add(failed);

    auto* art = new VideoDataObject("dat\\no_such_art.png", 0xFFFF00FFu);
    EXPECT_EQ(art->created, 0);
    EXPECT_EQ(art->texture, nullptr);
    TheVideoList->Add(art);

    EXPECT_EQ(LoggedAfterHeader(), "VideoDataObject vertList creation\nsuccess.\n"
                                   "VideoDataObject vertList creation\n"
                                   "VideoDataObject bitmap creation\n");
    EXPECT_EQ(TheVideoList->objects.Count(), 4); // with the sprite quad
}

TEST_F(VideoListTest, LockGivesTheWholeBufferAndDestroyOnlyWhatItHolds) {
    auto* quad = app.spriteQuad;
    auto* buffer = static_cast<FakeVertexBuffer*>(quad->vertexBuffer);
    void* data = TheVideoList->Lock(quad);
    EXPECT_EQ(data, buffer->data.data());
    TheVideoList->Unlock(quad);
    EXPECT_EQ(buffer->unlocks, 1);

    auto* art = new VideoDataObject("dat\\no_such_art.png", 0xFFFF00FFu);
    EXPECT_EQ(TheVideoList->Lock(art), nullptr); // a bitmap object has no vertices
    TheVideoList->Unlock(art);
    EXPECT_EQ(TheVideoList->Lock(nullptr), nullptr);

    TheVideoList->Destroy(art); // not in the list: left alone
    TheVideoList->Destroy(nullptr);
    EXPECT_EQ(TheVideoList->objects.Count(), 1);
    TheVideoList->Add(art);
    TheVideoList->Destroy(art);
    EXPECT_EQ(TheVideoList->objects.Count(), 1);
    EXPECT_EQ(TheVideoList->objects.First(), quad);

    auto* list = new VideoDataObject(28, ScreenVertexFormat);
    auto* released = static_cast<FakeVertexBuffer*>(list->vertexBuffer);
    TheVideoList->Add(list);
    TheVideoList->Destroy(list);
    EXPECT_EQ(released->references, 0);
}

TEST(Camera, ApplySetsTranslationBeforeTheTurns) {
    Camera camera;
    EXPECT_FLOAT_EQ(camera.pitch, -0.3f);
    EXPECT_FLOAT_EQ(camera.farPlane, 1000.0f);
    EXPECT_FLOAT_EQ(camera.view.m[2][2], 1.0f);

    RecordingDevice device;
    camera.yaw = 3.1415927f; // makes the turn about y the identity
    camera.pitch = 0.5f;
    camera.x = 0;
    camera.y = 1;
    camera.z = 0;
    camera.farPlane = 300.0f;
    camera.UpdateProjection();
    camera.Apply(&device);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"TRANSFORM 2", "TRANSFORM 3"}));
    // row vectors: the translation row is turned by the pitch that follows it
    const D3DMATRIX& view = device.transforms[D3DTS_VIEW];
    EXPECT_NEAR(view.m[3][0], 0.0f, 1e-6f);
    EXPECT_NEAR(view.m[3][1], std::cos(0.5f), 1e-6f);
    EXPECT_NEAR(view.m[3][2], std::sin(0.5f), 1e-6f);
    const D3DMATRIX& projection = device.transforms[D3DTS_PROJECTION];
    EXPECT_NEAR(projection.m[2][2], 300.0f / 299.0f, 1e-5f);
}
