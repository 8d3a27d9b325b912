// tintorel-setup: run once per user (the run script does it before each
// start) so that the program finds its colour lists and language files.
#include "settings/setup.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

// The installed data folder (<prefix>/share/tintorel beside <prefix>/bin),
// else the source tree's data folder this program was built from.
std::string DataFolder() {
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size() - 1);
    if (length > 0) {
        self.resize(static_cast<std::size_t>(length));
        const std::string bin = self.substr(0, self.rfind('/'));
        const std::string installed = bin.substr(0, bin.rfind('/')) + "/share/tintorel/";
        if (IsFolder(installed + "colours")) {
            return installed;
        }
    }
    return WithSlash(TINTOREL_SOURCE_DATA_DIR);
}

} // namespace

int main(int argc, char** argv) {
    std::string data = DataFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--data" && i + 1 < argc) {
            data = WithSlash(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--data FOLDER]\n", argv[0]);
            return 2;
        }
    }
    const tintorel::SetupValues values{data + "colours/", data + "languages/",
                                       tintorel::LanguageFileForLocale(std::getenv)};
    for (const std::string& name : tintorel::RunSetup(values)) {
        std::printf("tintorel-setup: set %s\n", name.c_str());
    }
    return 0;
}
