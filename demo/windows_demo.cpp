// Shows the preferences dialog or the about box on its own, with the
// language the settings name, for a person to look at: windows-demo params
// or windows-demo about.
#include "app/aboutbox.h"
#include "locale/language.h"
#include "settings/paramform.h"
#include "settings/params.h"

#include <QApplication>

#include <cstring>

int main(int argc, char** argv) {
    using namespace tintorel;
    QApplication app(argc, argv);
    std::string dir;
    std::string file;
    ReadLocaleDir(dir);
    ReadLocaleFile(file);
    LoadLanguageFile(dir, file);
    if (argc > 1 && std::strcmp(argv[1], "about") == 0) {
        TAboutBox about;
        return about.exec();
    }
    TParamForm params;
    return params.exec();
}
