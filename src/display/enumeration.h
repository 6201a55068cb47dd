#pragma once

#include <cstdint>

#include "platform/d3d8/d3d8.h"

// The usable adapters, device types and full-screen modes found by the host's
// enumeration, with their limits.
constexpr uint32_t MaxAdapters = 10;
constexpr uint32_t MaxDevicesPerAdapter = 5;
constexpr uint32_t MaxModesPerDevice = 150;
constexpr uint32_t MaxDisplayModesPerAdapter = 100;
constexpr uint32_t MaxFormatsPerAdapter = 20;

// Error codes of the host's set-up (reported through ReportError).
constexpr HRESULT D3DAPPERR_NODIRECT3D = static_cast<HRESULT>(0x82000001u);
constexpr HRESULT D3DAPPERR_NOCOMPATIBLEDEVICES = static_cast<HRESULT>(0x82000003u);
constexpr HRESULT D3DAPPERR_NOWINDOWABLEDEVICES = static_cast<HRESULT>(0x82000004u);
constexpr HRESULT D3DAPPERR_NOHARDWAREDEVICE = static_cast<HRESULT>(0x82000005u);
constexpr HRESULT D3DAPPERR_HALNOTCOMPATIBLE = static_cast<HRESULT>(0x82000006u);
constexpr HRESULT D3DAPPERR_NOWINDOWEDHAL = static_cast<HRESULT>(0x82000007u);
constexpr HRESULT D3DAPPERR_NODESKTOPHAL = static_cast<HRESULT>(0x82000008u);
constexpr HRESULT D3DAPPERR_NOHALTHISMODE = static_cast<HRESULT>(0x82000009u);
constexpr HRESULT D3DAPPERR_NONZEROREFCOUNT = static_cast<HRESULT>(0x8200000Au);
constexpr HRESULT D3DAPPERR_MEDIANOTFOUND = static_cast<HRESULT>(0x8200000Bu);
constexpr HRESULT D3DAPPERR_RESIZEFAILED = static_cast<HRESULT>(0x8200000Cu);

struct ModeRecord {
    uint32_t width;
    uint32_t height;
    D3DFORMAT format;
    // Vertex-processing flags for CreateDevice.
    DWORD behaviorFlags;
    D3DFORMAT depthStencilFormat;
};

struct DeviceRecord {
    D3DDEVTYPE deviceType;
    D3DCAPS8 caps;
    const char* description;
    int32_t canDoWindowed;
    uint32_t modeCount;
    ModeRecord modes[MaxModesPerDevice];
    uint32_t currentMode;
    int32_t windowed;
    D3DMULTISAMPLE_TYPE multiSampleType;
};

struct AdapterRecord {
    D3DADAPTER_IDENTIFIER8 identifier;
    D3DDISPLAYMODE desktopMode;
    uint32_t deviceCount;
    DeviceRecord devices[MaxDevicesPerAdapter];
    uint32_t currentDevice;
    // The Direct3D adapter number this record describes; it differs from the
    // record's index when an earlier adapter had no usable device.
    uint32_t ordinal;
};

// Writes the video report header; a file that cannot be created is skipped.
void WriteVideoReportHeader();
