// Start-up: the named marker, the application, the language file, the
// three windows, then the event loop. An exception that escapes is shown in
// a message box.
#include "app/aboutbox.h"
#include "app/datafolders.h"
#include "app/mainform.h"
#include "platform/os/marker.h"
#include "platform/screen/screen.h"
#include "platform/screenreaders.h"
#include "settings/paramform.h"
#include "settings/params.h"

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>

#include <csignal>
#include <exception>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <unistd.h>

namespace {

// A signal's arrival, carried to the event loop through a pipe.
int signalPipe[2] = {-1, -1};

void OnTerminationSignal(int) {
    const char byte = 1;
    (void)!write(signalPipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP end the session as a close would, saving the
// window's state, instead of killing the program on the spot.
void EndSessionOnSignals(tintorel::TMainForm& form) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [&form] {
        char byte = 0;
        while (read(signalPipe[0], &byte, 1) > 0) {
        }
        form.EndSession();
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}

template <class Dialog> std::function<Dialog*()> MadeOnFirstUse(std::optional<Dialog>& slot) {
    return [&slot] {
        if (!slot) {
            slot.emplace();
        }
        return &*slot;
    };
}

// On a Wayland desktop with XWayland, the window runs as an X11 client:
// only there may a program place its own window (the position saved at
// the last close) and keep it above the others. The screen is read
// through the compositor or the desktop's portal either way. A platform the user chose
// stands.
void PreferXWayland() {
    if (tintorel::WaylandSession() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

} // namespace

int main(int argc, char** argv) {
    using namespace tintorel;
    CreateNamedMarker("Tintorel");
    PreferXWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tintorel");
    QApplication::setDesktopFileName("org.tintorel.Tintorel");
    try {
        // The language and the main window's creation read the settings
        // file once, however large it has grown.
        std::optional<SettingsBatch> startUp(std::in_place);
        std::vector<std::string> notes = LoadLanguage();
        std::unique_ptr<ScreenReader> screen =
            MakeScreenReader(ReadScreenCastToken, WriteScreenCastToken, notes);
        TMainForm mainForm(std::move(screen), notes);
        startUp.reset();
        // The about box and the preferences are made when first needed: a
        // start that never opens them does not pay for them.
        std::optional<TAboutBox> aboutBox;
        std::optional<TParamForm> paramForm;
        mainForm.SetAboutBox(MadeOnFirstUse(aboutBox));
        mainForm.SetParamForm(MadeOnFirstUse(paramForm));
        EndSessionOnSignals(mainForm);
        mainForm.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Tintorel", QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
