// The ten player ships, 48 x 48, nose up. Each mission's ship has its own
// outline and hull colour; the twin nozzles sit where the mission's exhaust
// comes out (nozzle angle off straight back, at the nozzle distance).

#include <cmath>
#include <string>

#include "hull_kit.h"
#include "icons.h"
#include "jobs.h"

namespace assetgen {

namespace {

struct ShipStyle {
    const char* file;
    float nozzleAngle, nozzleDistance;
    Rgba hull, trim;
};

const ShipStyle kShips[10] = {
    {"player/playerc0006.png", 0.5f, 15.0f, Hex(0xF2F4F8), Hex(0x2F7BFF)},
    {"player/playerc0014.png", 0.2f, 16.0f, Hex(0xC8CDD6), Hex(0xD8283A)},
    {"player/playerc0002.png", 0.2f, 14.0f, Hex(0xF2C94C), Hex(0xE0572A)},
    {"player/playerc0001.png", 0.2f, 14.0f, Hex(0xA9D6FF), Hex(0x1D3F8F)},
    {"player/playerc0012.png", 0.2f, 14.0f, Hex(0xF4F1EA), Hex(0xF08A24)},
    {"player/playerc0013.png", 0.2f, 16.0f, Hex(0xD9DEE6), Hex(0xF2B705)},
    {"player/playerc0004.png", 0.2f, 15.0f, Hex(0xBFC7CF), Hex(0x2DBE6C)},
    {"player/playerA0002.png", 0.6f, 15.0f, Hex(0xE8C25A), Hex(0x2B2B33)},
    {"player/playerA0001.png", 0.5f, 15.0f, Hex(0xE4E9F0), Hex(0x7FD8FF)},
    {"player/playerA0015.png", 0.4f, 15.0f, Hex(0xFAFAFF), Hex(0xE8B43A)},
};

using Shape = std::function<float(V2)>;

// Wings, fuselage and details of ship i (fuselage drawn over the wings).
void AddBody(HullPlan& s, int i, const ShipStyle& style, V2 nozzle) {
    Rgba hull = style.hull, trim = style.trim;
    Rgba dark = Mix(hull, Opaque(0.15f, 0.16f, 0.2f), 0.55f);
    auto wing = [&](Shape shape) { s.layers.push_back(Part(shape, Trimmed(hull, trim, 1.6f), 0, 2.2f)); };
    auto pod = [&](float length, float radius) {
        V2 top = nozzle - V2{0, length};
        s.layers.push_back(
            Part([=](V2 p) { return SdCapsule(p, top, nozzle, radius); }, Plated(dark, 4), 1.2f, 2.5f));
    };
    Shape fuselage;
    switch (i) {
    case 0: // classic delta
        wing(Outline({{2, -8}, {21, 12}, {20, 16}, {6, 14}}));
        pod(12, 3.2f);
        fuselage = Outline({{0, -23}, {3, -14}, {5, 4}, {4, 16}, {0, 18}});
        break;
    case 1: // long dart with canards
        wing(Outline({{3, 2}, {19, 15}, {18, 19}, {3, 16}}));
        wing(Outline({{3, -12}, {9, -6}, {9, -4}, {3, -6}}));
        pod(10, 2.8f);
        fuselage = Outline({{0, -24}, {2.5f, -16}, {4.5f, 0}, {4.5f, 17}, {0, 20}});
        break;
    case 2: // swept crescent
        wing([](V2 p) {
            float outer = SdCircle(p, {0, 26}, 26), inner = SdCircle(p, {0, 34}, 25);
            return Intersect(Subtract(outer, inner), p.y - 20.0f);
        });
        pod(9, 3.0f);
        fuselage = Outline({{0, -23}, {4, -12}, {5.5f, 6}, {3.5f, 17}, {0, 18}});
        break;
    case 3: // four-fin cross
        wing(Outline({{3, -2}, {20, -10}, {22, -7}, {5, 6}}));
        wing(Outline({{3, 6}, {19, 18}, {17, 21}, {3, 14}}));
        pod(8, 2.6f);
        fuselage = Outline({{0, -22}, {3.5f, -12}, {5, 8}, {3, 17}, {0, 18}});
        break;
    case 4: // manta flying wing
        wing(Outline({{0, -20}, {8, -8}, {23, 8}, {22, 13}, {12, 10}, {6, 17}, {0, 14}}));
        pod(7, 2.6f);
        fuselage = Outline({{0, -22}, {3, -12}, {4, 4}, {0, 10}});
        break;
    case 5: // twin boom
        wing(Outline({{3, -2}, {18, 0}, {18, 6}, {3, 8}}));
        s.layers.push_back(Part(
            [](V2 p) {
                return SdCapsule(p, {13, -14}, {13, 18}, 3.2f);
            },
            Plated(hull, 5), 1.0f, 2.6f));
        pod(8, 2.6f);
        fuselage = Outline({{0, -23}, {4, -12}, {5, 6}, {3, 17}, {0, 18}});
        break;
    case 6: // arrowhead with tip pods
        wing(Outline({{2, -14}, {19, 10}, {19, 14}, {4, 12}}));
        s.layers.push_back(Part(
            [](V2 p) {
                return SdCapsule(p, {19, 2}, {19, 17}, 2.4f);
            },
            Paint(trim, 0.6f), 1.0f, 2.0f));
        pod(10, 3.0f);
        fuselage = Outline({{0, -23}, {3.5f, -12}, {5, 6}, {3, 17}, {0, 18}});
        break;
    case 7: // heavy forward-swept
        wing(Outline({{4, 8}, {21, -6}, {23, -3}, {12, 14}, {6, 16}}));
        pod(12, 4.2f);
        fuselage = Outline({{0, -23}, {5, -13}, {6.5f, 4}, {5, 15}, {0, 17}});
        break;
    case 8: // ring wing
        wing([](V2 p) { return Subtract(SdCircle(p, {0, 5}, 19), SdCircle(p, {0, 5}, 14)); });
        s.layers.push_back(Part(Outline({{4, 0}, {15, 2}, {15, 8}, {4, 9}}), Paint(hull, 0.6f), 0.5f, 2));
        pod(8, 3.0f);
        fuselage = Outline({{0, -24}, {3.5f, -14}, {5, 6}, {3, 17}, {0, 18}});
        break;
    default: // grand multi-fin
        wing(Outline({{3, -6}, {22, 10}, {21, 15}, {5, 12}}));
        wing(Outline({{3, -15}, {12, -5}, {11, -2}, {3, -6}}));
        s.layers.push_back(Part(
            [](V2 p) {
                return SdCapsule(p, {21, 4}, {21, 16}, 1.8f);
            },
            Paint(trim, 0.7f), 1.0f, 1.5f));
        pod(11, 3.2f);
        fuselage = Outline({{0, -24}, {4, -13}, {5.5f, 6}, {3.5f, 17}, {0, 19}});
        break;
    }
    s.layers.push_back(Part(fuselage, Plated(hull, 5.0f, 0.6f), 2.0f, 4.0f));
    // Trim stripe down the spine and the canopy.
    s.layers.push_back(Part([](V2 p) { return SdBox(p, {0, 8}, {1.0f, 6}); }, Paint(trim, 0.5f), 3.2f, 0.8f));
    s.layers.push_back(Part(
        [](V2 p) {
            return SdEllipse(p, {0, -7}, {2.6f, 6.0f});
        },
        Canopy(Hex(0x10243F), {-1.0f, -9.5f}), 3.6f, 2.2f));
    s.layers.back().mirror = false;
    AddNozzle(s, nozzle, 2.3f, 1.8f, Hex(0xFFB347));
}

} // namespace

HullPlan PlayerShipPlan(int i) {
    const ShipStyle& style = kShips[i];
    HullPlan plan;
    plan.width = plan.height = 48;
    V2 nozzle = {style.nozzleDistance * std::sin(style.nozzleAngle),
                 std::min(style.nozzleDistance * std::cos(style.nozzleAngle), 20.0f)};
    AddBody(plan, i, style, nozzle);
    return plan;
}

void AddPlayerShipJobs(std::vector<Job>& jobs) {
    for (int i = 0; i < 10; ++i)
        jobs.push_back([i](AssetSink& sink) {
            sink.Png(kShips[i].file, RenderHull(PlayerShipPlan(i)), Backing::Alpha);
        });
}

} // namespace assetgen
