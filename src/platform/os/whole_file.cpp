// Reading a whole file, the same on every system once it is open.
#include "platform/os/files.h"

#include <memory>

namespace platform {

bool ReadWholeFile(const char* name, size_t maxBytes, std::vector<uint8_t>* bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(name, "rb"), std::fclose);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        return false;
    const long length = std::ftell(file.get());
    if (length < 0 || static_cast<unsigned long>(length) > maxBytes || std::fseek(file.get(), 0, SEEK_SET) != 0)
        return false;
    bytes->resize(static_cast<size_t>(length));
    return std::fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
}

} // namespace platform
