// The application object on a recording device with its sprite quad in the
// video list, as the device set-up leaves them; restored to nothing after.
#pragma once

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"
#include "recording_device.h"

#include <gtest/gtest.h>

class SpriteTestApp : public ::testing::Test {
  protected:
    void SetUp() override {
        app.device = &device;
        TheApplication = &app;
        TheVideoList = new VideoList;
        app.spriteQuad =
            new VideoDataObject(4 * static_cast<int32_t>(sizeof(ScreenVertex)), ScreenVertexFormat);
        TheVideoList->Add(app.spriteQuad);
        device.calls.clear();
    }
    void TearDown() override {
        TheVideoList->Destroy(app.spriteQuad);
        delete TheVideoList;
        TheVideoList = nullptr;
        TheApplication = nullptr;
        app.spriteQuad = nullptr;
        app.device = nullptr;
    }
    // The last draw's four corners as (x, y) and (u, v) pairs.
    std::vector<float> Corners() const {
        std::vector<float> out;
        if (device.draws.empty())
            return out;
        for (const ScreenVertex& v : device.draws.back().vertices)
            out.insert(out.end(), {v.x, v.y});
        return out;
    }
    std::vector<float> Uvs() const {
        std::vector<float> out;
        if (device.draws.empty())
            return out;
        for (const ScreenVertex& v : device.draws.back().vertices)
            out.insert(out.end(), {v.u, v.v});
        return out;
    }

    RecordingDevice device;
    GameApplication app;
};
