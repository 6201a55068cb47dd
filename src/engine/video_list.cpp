#include "engine/video_list.h"

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/run_log.h"
#include "platform/d3d8/d3dx8.h"

VideoList* TheVideoList = nullptr;

namespace {

IDirect3DDevice8* ApplicationDevice() {
    return TheApplication ? TheApplication->device : nullptr;
}

} // namespace

uint32_t PackColour(int32_t r, int32_t g, int32_t b, int32_t a) {
    return (static_cast<uint32_t>(a) << 24) | ((static_cast<uint32_t>(r) & 0xFF) << 16) |
           ((static_cast<uint32_t>(g) & 0xFF) << 8) | (static_cast<uint32_t>(b) & 0xFF);
}

IDirect3DTexture8* LoadGameTexture(IDirect3DDevice8* device, const char* fileName, uint32_t colourKey) {
    if (!device || !fileName)
        return nullptr;
    IDirect3DTexture8* texture = nullptr;
    const HRESULT result =
        D3DXCreateTextureFromFileExA(device, fileName, 0, 0, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                     D3DX_DEFAULT, D3DX_DEFAULT, colourKey, nullptr, nullptr, &texture);
    if (result != 0) {
        if (texture)
            texture->Release();
        return nullptr;
    }
    return texture;
}

VideoDataObject::VideoDataObject(int32_t vertexBytes, uint32_t vertexFormat)
    : DataObject(0, ""), vertexBytes(vertexBytes), vertexFormat(vertexFormat) {
    TheRunLog.Log("VideoDataObject vertList creation\n");
    IDirect3DDevice8* device = ApplicationDevice();
    if (!device || vertexBytes <= 0)
        return;
    IDirect3DVertexBuffer8* buffer = nullptr;
    if (device->CreateVertexBuffer(static_cast<UINT>(vertexBytes), 0, vertexFormat, D3DPOOL_MANAGED,
                                   &buffer) != 0 ||
        !buffer)
        return;
    vertexBuffer = buffer;
    created = 1;
    TheRunLog.Log("success.\n");
}

VideoDataObject::VideoDataObject(const char* fileName, uint32_t colourKey) : DataObject(0, "") {
    TheRunLog.Log("VideoDataObject bitmap creation\n");
    texture = LoadGameTexture(ApplicationDevice(), fileName, colourKey);
    if (!texture)
        return;
    created = 1;
    TheRunLog.Log("success.\n");
}

VideoDataObject::~VideoDataObject() {
    if (vertexBuffer)
        vertexBuffer->Release();
    if (texture)
        texture->Release();
}

void VideoList::Add(VideoDataObject* object) {
    objects.Add(object);
}

void* VideoList::Lock(VideoDataObject* object) {
    if (!object || !object->vertexBuffer)
        return nullptr;
    BYTE* data = nullptr;
    if (object->vertexBuffer->Lock(0, 0, &data, 0) != 0)
        return nullptr;
    return data;
}

void VideoList::Unlock(VideoDataObject* object) {
    if (object && object->vertexBuffer)
        object->vertexBuffer->Unlock();
}

void VideoList::Destroy(VideoDataObject* object) {
    if (!object || !objects.Find(object))
        return;
    objects.Remove(object);
    delete object;
}
