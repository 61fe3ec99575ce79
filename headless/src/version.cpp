// Version information: the VS_VERSIONINFO block of a file's resources, and the queries
// into it.
//
// Every read of a block stays inside the root's wLength and, for a block that
// GetFileVersionInfoA filled (or that a test registered), inside the bytes it really
// holds: a truncated or malformed block makes the query fail.
#include "world.h"

#include "byte_reader.h"

#include <cstring>

namespace headless::detail {

namespace {

struct Node {
    size_t Start = 0, End = 0;
    WORD ValueLength = 0, Type = 0;
    std::string Key;
    size_t Value = 0, Children = 0;
};

// A node: wLength, wValueLength, wType (1 for text, counted in characters), the key, the
// value and the children, each of the last three aligned to 4 bytes.
bool ParseNode(const uint8_t *data, size_t start, size_t limit, Node &node) {
    ByteReader in(data, limit, start);
    WORD length = in.U16();
    node.ValueLength = in.U16();
    node.Type = in.U16();
    if (!in.Ok() || length < 6 || length > limit - start || node.Type > 1) {
        return false;
    }
    node.Start = start;
    node.End = start + length;
    in = ByteReader(data, node.End, in.Pos());
    node.Key = in.Utf16();
    in.Align4();
    node.Value = in.Pos();
    in.Skip(node.Type == 1 ? (size_t)node.ValueLength * 2 : node.ValueLength);
    in.Align4();
    node.Children = in.Pos();
    return in.Ok();
}

bool FindChild(const uint8_t *data, const Node &parent, const std::string &key, Node &child) {
    size_t pos = parent.Children;
    while (pos < parent.End) {
        if (!ParseNode(data, pos, parent.End, child)) {
            return false;
        }
        if (SameText(child.Key, key)) {
            return true;
        }
        pos = Align4(child.End);
    }
    return false;
}

const ResourceFile *VersionSource(const char *name) {
    if (!name) {
        return nullptr;
    }
    std::string wanted = Upper(name);
    size_t cut = wanted.find_last_of("\\/:");
    std::string wantedTitle = cut == std::string::npos ? wanted : wanted.substr(cut + 1);
    // A name without extension is a library's, as for LoadLibrary.
    if (wantedTitle.find('.') == std::string::npos) {
        wantedTitle += ".DLL";
        wanted += ".DLL";
    }
    const std::string &module = W().ModulePath;
    size_t slash = module.find_last_of('\\');
    std::string title = Upper(slash == std::string::npos ? module : module.substr(slash + 1));
    if (wanted == title || wanted == Upper(module)) {
        return &ProgramResources();
    }
    auto found = W().VersionFiles.find(wantedTitle);
    return found == W().VersionFiles.end() ? nullptr : found->second.get();
}

// The version block of the named file, or null.
const std::vector<uint8_t> *VersionBlock(const char *name) {
    const ResourceFile *file = VersionSource(name);
    if (!file) {
        return nullptr;
    }
    ResId one;
    one.Ordinal = 1;
    const Resource *resource = file->Find(ResId::From(RT_VERSION), one);
    if (!resource) {
        return nullptr;
    }
    return &resource->Data;
}

DWORD BlockLength(const std::vector<uint8_t> &block) {
    ByteReader in(block);
    DWORD length = in.U16();
    return in.Ok() && length <= block.size() ? length : (DWORD)block.size();
}

} // namespace

} // namespace headless::detail

using namespace headless;
using namespace headless::detail;

// As on Windows, the size asked for is more than the block: room for the ANSI copies of
// its texts that VerQueryValueA hands out, twice the block and a 4-byte signature.
DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR lptstrFilename, LPDWORD lpdwHandle) {
    if (lpdwHandle) {
        *lpdwHandle = 0;
    }
    const std::vector<uint8_t> *block = VersionBlock(lptstrFilename);
    return block ? BlockLength(*block) * 2 + 4 : 0;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR lptstrFilename, DWORD dwHandle, DWORD dwLen, LPVOID lpData) {
    (void)dwHandle;
    const std::vector<uint8_t> *block = VersionBlock(lptstrFilename);
    if (!block || !lpData) {
        return FALSE;
    }
    DWORD count = std::min(dwLen, BlockLength(*block));
    std::memcpy(lpData, block->data(), count);
    W().VersionBounds[lpData] = count;
    return TRUE;
}

BOOL WINAPI VerQueryValueA(LPCVOID pBlock, LPCSTR lpSubBlock, LPVOID *lplpBuffer, PUINT puLen) {
    if (!pBlock || !lpSubBlock || !lplpBuffer) {
        return FALSE;
    }
    const uint8_t *data = (const uint8_t *)pBlock;
    size_t limit = 0xFFFF;
    auto bound = W().VersionBounds.find(pBlock);
    if (bound != W().VersionBounds.end()) {
        limit = bound->second;
    }
    // The root's own length; 0 when the block is too short to hold one.
    limit = std::min(limit, (size_t)ByteReader(data, limit).U16());
    Node node;
    if (!ParseNode(data, 0, limit, node)) {
        return FALSE;
    }
    std::string path = lpSubBlock;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t next = path.find('\\', pos);
        std::string key = path.substr(pos, next == std::string::npos ? next : next - pos);
        pos = next == std::string::npos ? path.size() : next + 1;
        if (key.empty()) {
            continue;
        }
        Node child;
        if (!FindChild(data, node, key, child)) {
            return FALSE;
        }
        node = child;
    }
    if (node.Start == 0 && node.ValueLength == 0) {
        return FALSE; // no fixed file information
    }
    if (node.Type == 1) {
        // A text value: an 8-bit copy that the stand-in keeps for the rest of the run.
        // A text without its terminator is all its characters.
        ByteReader value(data, node.Value + (size_t)node.ValueLength * 2, node.Value);
        std::string text = value.Utf16();
        W().VersionStrings.push_back(text);
        *lplpBuffer = (LPVOID)W().VersionStrings.back().c_str();
        if (puLen) {
            *puLen = node.ValueLength ? (UINT)text.size() + 1 : 0;
        }
        return TRUE;
    }
    *lplpBuffer = (LPVOID)(data + node.Value);
    if (puLen) {
        *puLen = node.ValueLength;
    }
    return TRUE;
}
