// Device resources owned by engine objects, and the list that owns those
// objects. Both kinds of VideoDataObject are made on TheApplication->device in
// the managed pool, so a device reset keeps them.
#pragma once

#include "core/data_object.h"
#include "core/object_list.h"
#include "platform/d3d8/d3d8.h"

#include <cstddef>
#include <cstdint>

// One vertex of the shared sprite quad and of the font batches: a
// pre-transformed screen position, a colour and one texture coordinate.
struct ScreenVertex {
    float x;
    float y;
    float z;
    float rhw;
    uint32_t diffuse; // ARGB, alpha in the top byte
    float u;
    float v;
};
static_assert(sizeof(ScreenVertex) == 28, "ScreenVertex is the 28-byte device vertex");
static_assert(offsetof(ScreenVertex, diffuse) == 16 && offsetof(ScreenVertex, u) == 20);

constexpr uint32_t ScreenVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(ScreenVertexFormat == 0x144);

// Packs r, g, b, a (0..255 each) as ARGB. Only the low 8 bits of each survive.
uint32_t PackColour(int32_t r, int32_t g, int32_t b, int32_t a);

// Loads a texture the way all game art is loaded: size from the file, full
// mip chain, A8R8G8B8, managed; texels equal to colourKey become transparent
// black. Null when the file is missing or unreadable.
IDirect3DTexture8* LoadGameTexture(IDirect3DDevice8* device, const char* fileName, uint32_t colourKey);

// Owns either a vertex buffer (vertex-list form) or a texture (bitmap form).
// `created` is 1 once the device resource exists; a failed creation leaves it
// 0 and the object otherwise usable. Tag 0, empty name.
class VideoDataObject : public DataObject {
  public:
    int32_t created = 0;
    int32_t vertexBytes = 0;
    uint32_t vertexFormat = 0;
    IDirect3DVertexBuffer8* vertexBuffer = nullptr;
    IDirect3DTexture8* texture = nullptr;

    // A managed vertex buffer of vertexBytes bytes with the given format.
    VideoDataObject(int32_t vertexBytes, uint32_t vertexFormat);
    // A texture loaded from fileName with the given colour key.
    VideoDataObject(const char* fileName, uint32_t colourKey);
    ~VideoDataObject() override;

    VideoDataObject(const VideoDataObject&) = delete;
    VideoDataObject& operator=(const VideoDataObject&) = delete;
};

// Owns its VideoDataObjects; destroying the list destroys every one still in it.
class VideoList {
  public:
    ObjectList objects;

    void Add(VideoDataObject* object);
    // The object's whole vertex buffer, locked; null for an object without a
    // vertex buffer or when the lock fails (then Unlock must not be called).
    void* Lock(VideoDataObject* object);
    void Unlock(VideoDataObject* object);
    // Removes and deletes the object when it is in the list; otherwise (or for
    // null) does nothing.
    void Destroy(VideoDataObject* object);
};

// Exists while the application's device objects exist; null otherwise.
extern VideoList* TheVideoList;
