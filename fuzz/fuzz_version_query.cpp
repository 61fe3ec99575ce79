// VerQueryValueA of the stand-in on any block and any query path: the first byte of the
// input gives the length of the path, the rest is the block. The block lives in a heap
// buffer of its exact size and its bounds are told to the stand-in, so any read beyond
// it is caught; a value handed out must lie inside the block or be a terminated text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <headless/driver.h>
#include <windows.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) {
        return 0;
    }
    size_t pathLength = data[0] % 64;
    if (pathLength > size - 1) {
        pathLength = size - 1;
    }
    std::string path((const char *)data + 1, pathLength);
    path = path.substr(0, path.find('\0'));
    size_t blockSize = size - 1 - pathLength;

    uint8_t *block = (uint8_t *)malloc(blockSize ? blockSize : 1);
    if (blockSize) {
        memcpy(block, data + 1 + pathLength, blockSize);
    }
    headless::SetVersionBlockBounds(block, blockSize);

    LPVOID value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block, path.c_str(), &value, &length)) {
        const uint8_t *at = (const uint8_t *)value;
        bool inside = at >= block && at + length <= block + blockSize;
        if (!inside) {
            // A text value: the stand-in's own 8-bit copy, terminated after length chars.
            if (at == nullptr || strlen((const char *)at) + 1 < length) {
                abort();
            }
        }
    }
    headless::SetVersionBlockBounds(block, 0);
    free(block);
    return 0;
}
