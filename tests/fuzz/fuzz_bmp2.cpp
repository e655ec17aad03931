// libFuzzer target: arbitrary bytes as the "BMP" resource. The platform and GL calls are
// stood in for here, so a run needs no window or GL driver, and assert the loader's promises:
// on failure one read-failure box and no texture begun; on success one upload whose every
// pixel lies inside the loader's buffer (the upload reads them all, so ASan sees overruns).
#include "platform/win32.h"
#include "platform/opengl.h"

#include "BMP2/bmp2.h"

#include <cassert>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Resource; // exactly the input's bytes, so a read past them is caught
int BoxCount = 0, TexturesMade = 0, Uploads = 0;
std::string BoxText;
volatile unsigned UploadSum; // keeps the upload's reads from being optimised away

} // namespace

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    const bool found = std::strcmp(name, "fuzz") == 0 && std::strcmp(type, "BMP") == 0;
    return found ? reinterpret_cast<HRSRC>(&Resource) : nullptr;
}
HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    return resource;
}
// A zero-length resource still locks to an address, as in Win32.
LPVOID LockResource(HGLOBAL) {
    static uint8_t empty = 0;
    return Resource.empty() ? &empty : Resource.data();
}
DWORD SizeofResource(HMODULE, HRSRC) {
    return static_cast<DWORD>(Resource.size());
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    ++BoxCount;
    BoxText = std::string(caption) + ": " + text;
    return 1; // IDOK
}

void GLAPIENTRY glGenTextures(GLsizei, GLuint* names) {
    names[0] = static_cast<GLuint>(++TexturesMade);
}
void GLAPIENTRY glBindTexture(GLenum, GLuint) {}
void GLAPIENTRY glTexEnvi(GLenum, GLenum, GLint) {}
void GLAPIENTRY glTexParameteri(GLenum, GLenum, GLint) {}

// Rows of 3 x width bytes are 4-byte aligned for the widths the loader accepts, so the GL
// would read exactly width x height x 3 bytes.
GLint GLAPIENTRY gluBuild2DMipmaps(GLenum, GLint, GLsizei width, GLsizei height, GLenum format,
                                   GLenum, const void* data) {
    assert(format == GL_RGB && width > 0 && height > 0 && (width * 3) % 4 == 0);
    const auto* bytes = static_cast<const uint8_t*>(data);
    unsigned sum = 0;
    for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height) * 3; ++i)
        sum += bytes[i];
    UploadSum = sum;
    ++Uploads;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Resource.assign(data, data + size);
    Resource.shrink_to_fit();
    BoxCount = TexturesMade = Uploads = 0;
    GLuint texture = 7;
    if (LoadBmpTexture("fuzz.bmp", texture))
        assert(BoxCount == 0 && TexturesMade == 1 && Uploads == 1 && texture == 1);
    else
        assert(BoxCount == 1 && TexturesMade == 0 && texture == 7 &&
               BoxText == "BMP Unit: Unable to read from resource - fuzz.bmp");
    return 0;
}
