#include "display/enumeration.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "display/host_application.h"
#include "engine/run_log.h"
#include "platform/os/files.h"

namespace {

void LogFormatted(const char* format, ...) {
    char text[1200];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof(text), format, arguments);
    va_end(arguments);
    TheRunLog.Log(text);
}

bool IsSixteenBit(D3DFORMAT format) {
    return format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5 || format == D3DFMT_A1R5G5B5;
}

struct VertexProcessingChoice {
    DWORD flags;
    const char* logText;
};

constexpr VertexProcessingChoice HardwarePure{
    D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE,
    "      D3DCREATE_HARDWARE_VERTEXPROCESSING + D3DCREATE_PUREDEVICE\n"};
constexpr VertexProcessingChoice Hardware{D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                          "      D3DCREATE_HARDWARE_VERTEXPROCESSING\n"};
constexpr VertexProcessingChoice Mixed{D3DCREATE_MIXED_VERTEXPROCESSING,
                                       "      D3DCREATE_MIXED_VERTEXPROCESSING"};
constexpr VertexProcessingChoice Software{D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                          "      D3DCREATE_SOFTWARE_VERTEXPROCESSING"};

// What the warning after choosing the reference rasteriser depends on.
struct HalFindings {
    bool formatPassed = false;
    bool gotMode = false;
    bool canRenderWindowed = false;
    bool canRenderWindowedOnDesktop = false;
};

} // namespace

void WriteVideoReportHeader() {
    FILE* file = platform::OpenFile("VideoCardInfo.txt", "wb");
    if (file == nullptr) {
        return;
    }
    std::fputs("VANTRY video system enumeration\n\n", file);
    std::fclose(file);
}

D3DFORMAT HostApplication::FindDepthFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT format) {
    struct Candidate {
        D3DFORMAT format;
        bool allowed;
    };
    const Candidate candidates[] = {
        {D3DFMT_D16, minDepthBits <= 16 && minStencilBits == 0},
        {D3DFMT_D15S1, minDepthBits <= 15 && minStencilBits <= 1},
        {D3DFMT_D24X8, minDepthBits <= 24 && minStencilBits == 0},
        {D3DFMT_D24S8, minDepthBits <= 24 && minStencilBits <= 8},
        {D3DFMT_D24X4S4, minDepthBits <= 24 && minStencilBits <= 4},
        {D3DFMT_D32, minDepthBits <= 32 && minStencilBits == 0},
    };
    for (const Candidate& candidate : candidates) {
        if (!candidate.allowed) {
            continue;
        }
        if (SUCCEEDED(direct3D->CheckDeviceFormat(adapter, deviceType, format, D3DUSAGE_DEPTHSTENCIL,
                                                  D3DRTYPE_SURFACE, candidate.format)) &&
            SUCCEEDED(
                direct3D->CheckDepthStencilMatch(adapter, deviceType, format, format, candidate.format))) {
            return candidate.format;
        }
    }
    return D3DFMT_UNKNOWN;
}

HRESULT HostApplication::Enumerate(int32_t windowedRequested) {
    WriteVideoReportHeader();
    adapterCount = 0;
    HalFindings hal;

    const UINT ordinalCount = direct3D->GetAdapterCount();
    for (UINT ordinal = 0; ordinal < ordinalCount && adapterCount < MaxAdapters; ++ordinal) {
        AdapterRecord& adapter = adapters[adapterCount];
        adapter = AdapterRecord{};
        adapter.ordinal = ordinal;
        direct3D->GetAdapterIdentifier(ordinal, D3DENUM_NO_WHQL_LEVEL, &adapter.identifier);
        adapter.identifier.Driver[sizeof(adapter.identifier.Driver) - 1] = '\0';
        adapter.identifier.Description[sizeof(adapter.identifier.Description) - 1] = '\0';
        direct3D->GetAdapterDisplayMode(ordinal, &adapter.desktopMode);
        LogFormatted("%s\n%s\n", adapter.identifier.Driver, adapter.identifier.Description);
        LogFormatted("Desktop is %dx%d, %dhz, Format %d\n", static_cast<int>(adapter.desktopMode.Width),
                     static_cast<int>(adapter.desktopMode.Height),
                     static_cast<int>(adapter.desktopMode.RefreshRate),
                     static_cast<int>(adapter.desktopMode.Format));

        D3DDISPLAYMODE displayModes[MaxDisplayModesPerAdapter];
        uint32_t displayModeCount = 0;
        D3DFORMAT formats[MaxFormatsPerAdapter];
        uint32_t formatCount = 1;
        formats[0] = adapter.desktopMode.Format;

        const UINT modeTotal = direct3D->GetAdapterModeCount(ordinal);
        for (UINT m = 0; m < modeTotal; ++m) {
            D3DDISPLAYMODE mode{};
            if (FAILED(direct3D->EnumAdapterModes(ordinal, m, &mode))) {
                continue;
            }
            LogFormatted("   Mode: %04dx%04d, %04dhz, Format %03d\n", static_cast<int>(mode.Width),
                         static_cast<int>(mode.Height), static_cast<int>(mode.RefreshRate),
                         static_cast<int>(mode.Format));
            if (mode.Width < 640 || mode.Height < 400) {
                continue;
            }
            const bool known =
                std::any_of(displayModes, displayModes + displayModeCount, [&](const D3DDISPLAYMODE& k) {
                    return k.Width == mode.Width && k.Height == mode.Height && k.Format == mode.Format;
                });
            if (known || displayModeCount == MaxDisplayModesPerAdapter) {
                continue;
            }
            mode.RefreshRate = 0;
            displayModes[displayModeCount++] = mode;
            const bool formatKnown =
                std::find(formats, formats + formatCount, mode.Format) != formats + formatCount;
            if (!formatKnown && formatCount < MaxFormatsPerAdapter) {
                formats[formatCount++] = mode.Format;
            }
        }
        std::sort(displayModes, displayModes + displayModeCount,
                  [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
                      if (a.Format != b.Format) {
                          return a.Format > b.Format;
                      }
                      if (a.Width != b.Width) {
                          return a.Width < b.Width;
                      }
                      return a.Height < b.Height;
                  });

        for (D3DDEVTYPE type : {D3DDEVTYPE_HAL, D3DDEVTYPE_REF}) {
            DeviceRecord& record = adapter.devices[adapter.deviceCount];
            record = DeviceRecord{};
            record.deviceType = type;
            direct3D->GetDeviceCaps(ordinal, type, &record.caps);
            record.description = type == D3DDEVTYPE_HAL ? "HAL" : "REF";
            LogFormatted("      ************Device: %s\n", record.description);

            const bool rendersWindowed = (record.caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) != 0;
            bool accepted[MaxFormatsPerAdapter] = {};
            DWORD flags[MaxFormatsPerAdapter] = {};
            D3DFORMAT depth[MaxFormatsPerAdapter] = {};
            for (uint32_t i = 0; i < formatCount; ++i) {
                const D3DFORMAT format = formats[i];
                if (FAILED(direct3D->CheckDeviceType(ordinal, type, format, format, FALSE))) {
                    continue;
                }
                LogFormatted("      Valid Format: %d\n", static_cast<int>(format));
                if (type == D3DDEVTYPE_HAL) {
                    hal.formatPassed = true;
                    if (rendersWindowed) {
                        hal.canRenderWindowed = true;
                        TheRunLog.Log("      ***Windowed mode is possible\n");
                        if (i == 0) {
                            hal.canRenderWindowedOnDesktop = true;
                            TheRunLog.Log("      ***Windowed mode is possible for current desktop\n");
                        }
                    }
                }

                const VertexProcessingChoice* chosen = nullptr;
                if (record.caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
                    const bool pure = (record.caps.DevCaps & D3DDEVCAPS_PUREDEVICE) != 0;
                    for (const VertexProcessingChoice* choice : {&HardwarePure, &Hardware, &Mixed}) {
                        if (choice == &HardwarePure && !pure) {
                            continue;
                        }
                        if (SUCCEEDED(CheckDevice(&record.caps, choice->flags, format))) {
                            chosen = choice;
                            break;
                        }
                    }
                }
                if (chosen == nullptr && SUCCEEDED(CheckDevice(&record.caps, Software.flags, format))) {
                    chosen = &Software;
                }
                if (chosen == nullptr) {
                    continue;
                }
                TheRunLog.Log(chosen->logText);
                accepted[i] = true;
                flags[i] = chosen->flags;

                if (useDepthBuffer) {
                    depth[i] = FindDepthFormat(ordinal, type, format);
                    if (depth[i] != D3DFMT_UNKNOWN) {
                        LogFormatted("      Depth Stencil Format %d\n", static_cast<int>(depth[i]));
                    } else {
                        accepted[i] = false;
                    }
                }
            }

            TheRunLog.Log("\n      So valid modes for this device are:\n\n");
            for (uint32_t m = 0; m < displayModeCount; ++m) {
                for (uint32_t i = 0; i < formatCount; ++i) {
                    if (!accepted[i] || displayModes[m].Format != formats[i] ||
                        record.modeCount == MaxModesPerDevice) {
                        continue;
                    }
                    ModeRecord& mode = record.modes[record.modeCount++];
                    mode.width = displayModes[m].Width;
                    mode.height = displayModes[m].Height;
                    mode.format = displayModes[m].Format;
                    mode.behaviorFlags = flags[i];
                    mode.depthStencilFormat = depth[i];
                    LogFormatted(
                        "      Mode: %04dx%04d, Screen Format %03d, Stencil Format %03d, behavior flags %x\n",
                        static_cast<int>(mode.width), static_cast<int>(mode.height),
                        static_cast<int>(mode.format), static_cast<int>(mode.depthStencilFormat),
                        static_cast<unsigned>(mode.behaviorFlags));
                    if (type == D3DDEVTYPE_HAL) {
                        hal.gotMode = true;
                    }
                }
            }

            // A 16-bit mode of the requested size wins; else the last one of that size.
            for (uint32_t m = 0; m < record.modeCount; ++m) {
                const ModeRecord& mode = record.modes[m];
                if (static_cast<int32_t>(mode.width) == creationWidth &&
                    static_cast<int32_t>(mode.height) == creationHeight) {
                    record.currentMode = m;
                    if (IsSixteenBit(mode.format)) {
                        break;
                    }
                }
            }

            if (accepted[0] && rendersWindowed) {
                record.canDoWindowed = 1;
                record.windowed = windowedRequested;
            }
            if (record.modeCount > 0) {
                ++adapter.deviceCount;
            }
        }
        if (adapter.deviceCount > 0) {
            ++adapterCount;
        }
    }

    if (adapterCount == 0) {
        return D3DAPPERR_NOCOMPATIBLEDEVICES;
    }
    for (uint32_t a = 0; a < adapterCount; ++a) {
        for (uint32_t d = 0; d < adapters[a].deviceCount; ++d) {
            const DeviceRecord& record = adapters[a].devices[d];
            if (windowedRequested != 0 && record.windowed != 1) {
                continue;
            }
            adapters[a].currentDevice = d;
            windowed = windowedRequested;
            currentAdapter = a;
            if (record.deviceType == D3DDEVTYPE_REF) {
                HRESULT warning = D3DAPPERR_NOHALTHISMODE;
                if (!hal.formatPassed) {
                    warning = D3DAPPERR_NOHARDWAREDEVICE;
                } else if (!hal.gotMode) {
                    warning = D3DAPPERR_HALNOTCOMPATIBLE;
                } else if (!hal.canRenderWindowed) {
                    warning = D3DAPPERR_NOWINDOWEDHAL;
                } else if (!hal.canRenderWindowedOnDesktop) {
                    warning = D3DAPPERR_NODESKTOPHAL;
                }
                ReportError(warning, 0);
            }
            return S_OK;
        }
    }
    return D3DAPPERR_NOWINDOWABLEDEVICES;
}
