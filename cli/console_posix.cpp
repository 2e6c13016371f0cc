#include "cli/console.h"

#include <cerrno>
#include <string>
#include <unistd.h>

namespace cli {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

int Descriptor(Stream stream) { return stream == Stream::Out ? 1 : 2; }

}  // namespace

void WriteText(Stream stream, std::string_view utf8) { WriteAll(Descriptor(stream), utf8); }

void WriteLine(Stream stream, std::string_view utf8) {
    std::string line(utf8);
    line += '\n';
    WriteAll(Descriptor(stream), line);
}

bool WriteBytes(std::string_view bytes) { return WriteAll(1, bytes); }

}  // namespace cli
