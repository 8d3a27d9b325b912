// The real windows in a home of their own: settings, log and language are
// the test's, and the screen is an image the test paints.
#pragma once

#include "app/aboutbox.h"
#include "app/datafolders.h"
#include "app/mainform.h"
#include "app/previewimage.h"
#include "colourlist/colorfile.h"
#include "controls/sliderntext.h"
#include "imagescreen.h"
#include "locale/language.h"
#include "settings/paramform.h"
#include "settings/params.h"
#include "settings/setup.h"
#include "tests/testfolder.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tintorel {

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("HOME", folder_.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
        setenv("XDG_STATE_HOME", (folder_ / "state").c_str(), 1);
        // An English locale, whatever the machine running the tests uses:
        // a start without a language setting follows the locale.
        unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", "C.UTF-8", 1);
        SetSettingsStore(nullptr); // the next access opens the store of this home
        LanguageTable().clear();
        ColorList().clear();
        QImage screen(640, 480, QImage::Format_RGB32);
        screen.fill(Qt::white);
        screenImage_ = screen;
    }
    void TearDown() override {
        form_.reset();
        SetSettingsStore(nullptr);
    }

    // The set-up step with the shipped data, then the language it names.
    // Most tests work on the small list of print inks; null keeps the set-up
    // step's own choice.
    void InstallData(const char* language = "english.txt", const char* colourFile = "print.txt") {
        SetupValues values{std::string(TINTOREL_DATA_DIR) + "colours/",
                           std::string(TINTOREL_DATA_DIR) + "languages/", language};
        if (colourFile != nullptr) {
            values.colourFile = colourFile;
        }
        RunSetup(values);
        std::string dir, file;
        ReadLocaleDir(dir);
        ReadLocaleFile(file);
        LoadLanguageFile(dir, file);
    }

    TMainForm& Start(const std::vector<std::string>& startNotes = {}) {
        auto screen = std::make_unique<ImageScreenReader>(screenImage_);
        screen_ = screen.get();
        form_.reset(); // one log at a time: the new window opens it afresh
        form_ = std::make_unique<TMainForm>(std::move(screen), startNotes);
        form_->SetAboutBox([this] { return &about_; });
        form_->SetParamForm([this] { return &params_; });
        return *form_;
    }

    // Closes the window as the user would; the about box closes at once.
    void Close() {
        form_->show();
        QTimer::singleShot(0, &about_, &QDialog::reject);
        form_->close();
    }

    template <class T> T* Child(const char* name) const {
        T* child = form_->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    // A click on one of the window's buttons.
    void Press(const char* name) const { Child<QAbstractButton>(name)->click(); }
    // A tick of the pipette's clock: what its timer gets when it fires. A
    // stopped clock does not tick.
    void Tick() const {
        auto* timer = Child<QTimer>("timTimer");
        if (!timer->isActive()) {
            return;
        }
        QTimerEvent tick(timer->timerId());
        QCoreApplication::sendEvent(timer, &tick);
    }
    // The desktop gives another program the focus.
    static void Deactivate() {
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
    }
    BSliderNText* Slider(const char* name) const { return Child<BSliderNText>(name); }
    QString Html() const { return Child<QLineEdit>("edtHtml")->text(); }
    QString Vb() const { return Child<QLineEdit>("edtVisualBasic")->text(); }
    QRgb Preview() const { return Child<PreviewImage>("pnlImage")->Canvas().pixel(30, 30); }
    // A page change by the user.
    // Picks an item of a drop-down list with the arrow keys, as a user does;
    // each step raises the list's activated signal.
    static void Choose(QComboBox* list, int index) {
        list->setFocus();
        for (int step = 0; step < list->count() && list->currentIndex() < index; ++step) {
            QTest::keyClick(list, Qt::Key_Down);
        }
        for (int step = 0; step < list->count() && list->currentIndex() > index; ++step) {
            QTest::keyClick(list, Qt::Key_Up);
        }
    }

    // The window's size when it is placed: the OK and Cancel strip that
    // ArrangeButtons cuts off right after is still there.
    QSize PlacedSize() const {
        const auto* grid = qobject_cast<const QGridLayout*>(form_->layout());
        const int strip = std::max(Child<QPushButton>("cmdOk")->sizeHint().height(),
                                   Child<QPushButton>("cmdCancel")->sizeHint().height());
        return form_->size() + QSize(0, strip + grid->verticalSpacing());
    }
    // Where a window of that size is centred on the primary monitor.
    QPoint Centred() const {
        const QRect desktop = QGuiApplication::primaryScreen()->geometry();
        const QSize placed = PlacedSize();
        return {(desktop.width() - placed.width()) / 2, (desktop.height() - placed.height()) / 2};
    }

    void ShowPage(int page) { Child<QTabWidget>("pagColorSpace")->setCurrentIndex(page); }

    std::string ReadLog() const {
        std::ifstream in(folder_ / "state/tintorel/tintorel.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    TestFolder folder_;
    QImage screenImage_;
    ImageScreenReader* screen_ = nullptr;
    TAboutBox about_;
    TParamForm params_;
    std::unique_ptr<TMainForm> form_;
};

} // namespace tintorel
