// The parts of the file services that are the same on every system.
#include "platform/file.h"

namespace platform {

int ReadWholeFile(const WString& path, std::string& bytes) {
    FileHandle file;
    int error = file.Open(path, Access::Read, Share::Read, Disposition::OpenExisting);
    char buffer[65536];
    size_t got = 0;
    while (error == 0 && (error = file.Read(buffer, sizeof buffer, got)) == 0 && got > 0)
        bytes.append(buffer, got);
    return error;
}

bool IsForbiddenInFileName(char16_t c) {
    return c < 0x20 || WStringView(u"\\/:*?\"<>|").find(c) != WStringView::npos;
}

}  // namespace platform
