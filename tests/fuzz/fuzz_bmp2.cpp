// libFuzzer target: arbitrary bytes as the "BMP" resource that LoadBmpTexture reads.
//
// The platform and GL calls the loader makes are stood in for here (a link seam), so a run
// needs no window, no GL driver and no EGL, and each input takes microseconds. The stand-ins
// also check what the loader promises: one message box with one of its two texts on
// failure, no texture begun on failure, and on success an upload whose every pixel lies
// inside the loader's buffer (the upload reads them all, so ASan sees any overrun).
#include "platform/win32.h"
#include "platform/opengl.h"

#include "BMP2/bmp2.h"

#include <cstdlib>
#include <strings.h>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Resource; // exactly the input's bytes, so a read past them is caught
int BoxCount = 0, TexturesMade = 0, Uploads = 0;
std::string BoxText, BoxCaption;
volatile unsigned UploadSum; // keeps the upload's reads from being optimised away

// The one handle the stand-ins give out; it only has to be distinct from NULL.
HRSRC__* const ResourceHandle = reinterpret_cast<HRSRC__*>(&Resource);

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
    const bool found = strcasecmp(name, "fuzz") == 0 && strcasecmp(type, "BMP") == 0;
    return found ? ResourceHandle : nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    Require(resource == ResourceHandle);
    return resource;
}

LPVOID LockResource(HGLOBAL data) {
    Require(data == ResourceHandle);
    // A zero-length resource still locks to an address, as in Win32.
    static uint8_t empty = 0;
    return Resource.empty() ? &empty : Resource.data();
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    Require(resource == ResourceHandle);
    return static_cast<DWORD>(Resource.size());
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Require(owner == nullptr && type == MB_OK);
    ++BoxCount;
    BoxText = text;
    BoxCaption = caption;
    return 1; // IDOK
}

void GLAPIENTRY glGenTextures(GLsizei count, GLuint* names) {
    Require(count == 1);
    names[0] = static_cast<GLuint>(++TexturesMade);
}

void GLAPIENTRY glBindTexture(GLenum target, GLuint) {
    Require(target == GL_TEXTURE_2D);
}

void GLAPIENTRY glTexEnvi(GLenum, GLenum, GLint) {}

void GLAPIENTRY glTexParameteri(GLenum target, GLenum, GLint) {
    Require(target == GL_TEXTURE_2D);
}

// Reads every byte the GL would: rows of 3 x width bytes are already 4-byte aligned for the
// widths the loader accepts, so the upload covers exactly width x height x 3 bytes.
GLint GLAPIENTRY gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width,
                                   GLsizei height, GLenum format, GLenum type, const void* data) {
    Require(target == GL_TEXTURE_2D && internalFormat == 3 && format == GL_RGB &&
            type == GL_UNSIGNED_BYTE);
    Require(width > 0 && height > 0 && (width * 3) % 4 == 0);
    const auto* bytes = static_cast<const uint8_t*>(data);
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i)
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
    const bool loaded = LoadBmpTexture("fuzz.bmp", texture);
    if (loaded) {
        Require(BoxCount == 0 && TexturesMade == 1 && Uploads == 1 && texture == 1);
    } else {
        Require(BoxCount == 1 && TexturesMade == 0 && Uploads == 0 && texture == 7);
        Require(BoxText == "Unable to read from resource - fuzz.bmp" && BoxCaption == "BMP Unit");
    }
    return 0;
}
