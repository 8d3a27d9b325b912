// tintorel-setup: run once per user (the run script does it before each
// start) so that the program finds its colour lists and language files.
//
// Built a second time as tintorel-launch, the desktop entry's command: it
// fills in what is missing, then becomes the program, passing on its
// arguments. One small process instead of a shell and its helpers keeps the
// first start close to a plain one.
#include "settings/setup.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// The installed data folder (<prefix>/share/tintorel beside <prefix>/bin),
// else the source tree's data folder this program was built from.
std::string DataFolder() {
    return tintorel::DataFolderFor(tintorel::ThisProgram(), TINTOREL_SOURCE_DATA_DIR);
}

#ifdef TINTOREL_LAUNCHER
// The program beside this one, as installed, else the one of the build tree.
std::string MainProgram() {
    const std::string self = tintorel::ThisProgram();
    const std::string beside = self.substr(0, self.rfind('/') + 1) + "tintorel";
    return access(beside.c_str(), X_OK) == 0 ? beside : std::string(TINTOREL_LAUNCHER);
}
#endif

} // namespace

#ifdef TINTOREL_LAUNCHER

int main(int, char** argv) {
    // What the set-up step cannot do, the program shows for itself (a
    // missing folder leaves its lists empty): it never keeps the start back.
    const std::string data = DataFolder();
    tintorel::RunSetup(
        {data + "colours/", data + "languages/", tintorel::LanguageFileForLocale(std::getenv)});
    const std::string program = MainProgram();
    argv[0] = const_cast<char*>(program.c_str());
    execv(program.c_str(), argv);
    std::perror(program.c_str());
    return 127;
}

#else

int main(int argc, char** argv) {
    std::string data = DataFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--data" && i + 1 < argc) {
            data = argv[++i];
            if (data.back() != '/') {
                data += '/';
            }
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

#endif
