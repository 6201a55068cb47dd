// Pictures made of words: the title, the three end-of-mission banners and
// the five bonus badges.

#include "hull_kit.h"
#include "jobs.h"
#include "text_effects.h"
#include "text_renderer.h"

namespace assetgen {

namespace {

Image Title() {
    LetterStyle s;
    s.pixelHeight = 92;
    s.letterSpacing = 2;
    s.top = Hex(0xF4F8FF);
    s.middle = Hex(0x7D8796);
    s.bottom = Hex(0xDCE6F2);
    s.outline = Hex(0x10131A);
    s.outlineWidth = 3;
    s.glow = Hex(0xFF6A1A);
    s.glowRadius = 9;
    s.glowStrength = 0.9f;
    s.bevel = 3;
    return StyledText("BACKFIRE", s, 560, 136);
}

Image Banner(const char* text, Rgba top, Rgba middle, Rgba bottom, Rgba glow) {
    LetterStyle s;
    s.pixelHeight = 54;
    s.top = top;
    s.middle = middle;
    s.bottom = bottom;
    s.glow = glow;
    s.glowRadius = 8;
    s.outlineWidth = 2.5f;
    return StyledText(text, s, 560, 100);
}

// A rounded plate in the badge's colour with its name across it.
Image Badge(const char* name, Rgba colour) {
    HullPlan plate;
    plate.width = 128;
    plate.height = 64;
    plate.layers.push_back(Part(
        [](V2 p) {
            return SdBox(p, {0, 0}, {61, 29}, 12);
        },
        Trimmed(Shade(colour, 0.55f), Hex(0xE8E8F0), 3.0f, 0.7f), 0, 4));
    plate.layers.push_back(Part(
        [](V2 p) {
            return SdBox(p, {0, 0}, {55, 23}, 9);
        },
        [colour](V2 p, float) { return Plain(Shade(colour, 0.8f - p.y * 0.012f), 0.6f); }, 2.5f, 3));
    Image image = RenderHull(plate);
    LetterStyle s;
    s.pixelHeight = 19;
    s.top = Hex(0xFFFFFF);
    s.middle = Hex(0xE8E8F0);
    s.bottom = Hex(0xB8BCC8);
    s.outlineWidth = 1.5f;
    s.glowRadius = 0;
    s.bevel = 1;
    DrawOver(image, StyledText(name, s, 128, 44), 0, 3);
    LetterStyle small = s;
    small.pixelHeight = 10;
    small.outlineWidth = 1;
    DrawOver(image, StyledText("BONUS  x2", small, 128, 20), 0, 38);
    return image;
}

} // namespace

void AddLettering(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& sink) { sink.Png("titleWordB.png", Title(), Backing::Alpha); });
    jobs.push_back([](AssetSink& sink) {
        sink.Png("missionOver.png",
                 Banner("MISSION OVER", Hex(0xFFD0C0), Hex(0xE0401C), Hex(0x8A1408), Hex(0xFF3010)),
                 Backing::Alpha);
        sink.Png("missionComplete.png",
                 Banner("MISSION COMPLETE", Hex(0xE0FFF0), Hex(0x30D08A), Hex(0x0C6A48), Hex(0x20FFB0)),
                 Backing::Alpha);
        sink.Png("missionExcelled.png",
                 Banner("MISSION EXCELLED", Hex(0xFFF8D8), Hex(0xF2B526), Hex(0x9A5A08), Hex(0xFFD040)),
                 Backing::Alpha);
    });
    jobs.push_back([](AssetSink& sink) {
        sink.Png("bonusSniper.png", Badge("SNIPER", Hex(0x3A78E8)), Backing::Alpha);
        sink.Png("bonusXenocide.png", Badge("XENOCIDE", Hex(0xB030D0)), Backing::Alpha);
        sink.Png("bonusKiller.png", Badge("KILLER", Hex(0xD02828)), Backing::Alpha);
        sink.Png("bonusHunter.png", Badge("HUNTER", Hex(0x2E9A40)), Backing::Alpha);
        sink.Png("bonusManiac.png", Badge("MANIAC", Hex(0xE07810)), Backing::Alpha);
    });
}

} // namespace assetgen
