#include "platform/os/marker.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tintorel {

void CreateNamedMarker(const std::string& name) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // Abstract namespace: a leading zero byte, no file on disk, gone with
    // the process.
    const std::string marker = name + "-" + std::to_string(getuid());
    const std::size_t length = std::min(marker.size(), sizeof address.sun_path - 2);
    std::memcpy(address.sun_path + 1, marker.data(), length);
    const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
    if (bind(fd, reinterpret_cast<const sockaddr*>(&address), size) != 0) {
        close(fd); // another instance holds it; that is allowed
    }
    // Otherwise the descriptor stays open until the process ends.
}

} // namespace tintorel
