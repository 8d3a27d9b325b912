// Every form shows the colour the user gave: codes on every page, hand-made
// scales, typed texts, the Visual field, labels, the window's place.
#include "apptest.h"

#include "app/placement.h"
#include "controls/colorselector.h"
#include "platform/filestore.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>

namespace tintorel {
namespace {

// Types as the user would, one key a character; QTest's own typing knows
// ASCII only.
void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
}

// A typed code sets the colour in the page's own class; the other code must
// show exactly the typed bytes on every page.
TEST_F(AppTest, TypedCodeShowsItsBytesOnEveryPage) {
    InstallData();
    Start();
    const struct {
        int page;
        const char* html;
        const char* vb;
    } cases[] = {
        {TMainForm::PageRgb, "#3366cc", "&Hcc6633"},  {TMainForm::PageHls, "#3366cc", "&Hcc6633"},
        {TMainForm::PageHsv, "#3366cc", "&Hcc6633"},  {TMainForm::PageCmy, "#3366cc", "&Hcc6633"},
        {TMainForm::PageCmyk, "#3366cc", "&Hcc6633"}, {TMainForm::PageCmy, "#010203", "&H30201"},
        {TMainForm::PageHls, "#fefefd", "&Hfdfefe"},
    };
    for (const auto& c : cases) {
        ShowPage(c.page);
        Type(Child<QLineEdit>("edtHtml"), c.html);
        EXPECT_EQ(Vb(), c.vb) << "page " << c.page << ", " << c.html;
    }
    // And the other way round, typed into the Visual Basic field.
    ShowPage(TMainForm::PageCmy);
    Type(Child<QLineEdit>("edtVisualBasic"), "&Hcc6633");
    EXPECT_EQ(Html(), "#3366cc");
}

TEST_F(AppTest, VisualBasicLengthCountsCharactersNotBytes) {
    InstallData();
    Start();
    // Eight characters, nine bytes in UTF-8: the digits before the letter
    // that is none are read.
    Type(Child<QLineEdit>("edtVisualBasic"), QString::fromUtf8("&Hfffff\xc3\xa9"));
    EXPECT_EQ(Html(), "#ffff0f");
}

// A maximum typed into the settings by hand is a scale of its own: kept on
// the sliders and written back on close. Only one that cannot work falls back.
TEST_F(AppTest, HandMadeScalesAreKept) {
    InstallData();
    WriteRgbRange(200, 0, -5);
    WriteCmykRange(1000, 100, 255, 2147483647);
    Start();
    EXPECT_EQ(Slider("bstRed")->MaxValue(), 200);
    EXPECT_EQ(Slider("bstGrn")->MaxValue(), 255);
    EXPECT_EQ(Slider("bstBlu")->MaxValue(), 255);
    EXPECT_FALSE(Child<QRadioButton>("rdbRgbByte")->isChecked());
    EXPECT_FALSE(Child<QRadioButton>("rdbRgbPercent")->isChecked());
    Slider("bstRed")->SetValue(100);
    EXPECT_EQ(Preview(), qRgb(128, 0, 0)); // 100 of 200
    Close();
    int r = 0, g = 0, b = 0;
    ReadRgbRange(r, g, b);
    EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{200, 255, 255}));
    int c = 0, m = 0, y = 0, k = 0;
    ReadCmykRange(c, m, y, k);
    EXPECT_EQ((std::vector<int>{c, m, y, k}), (std::vector<int>{1000, 100, 255, 2147483647}));
}

// The window system shows a dialog again when it is restored after being
// minimised; the user's unconfirmed changes must survive that.
TEST_F(AppTest, PreferencesKeepUnconfirmedChangesAcrossShowEvents) {
    InstallData();
    TMainForm& form = Start();
    QTimer::singleShot(0, [this] {
        params_.findChild<QCheckBox*>("chkHsv")->setChecked(false);
        params_.findChild<QRadioButton*>("rdbMuchBigger")->setChecked(true);
        QShowEvent restored;
        QApplication::sendEvent(&params_, &restored);
        EXPECT_FALSE(params_.findChild<QCheckBox*>("chkHsv")->isChecked());
        params_.findChild<QPushButton*>("btnOk")->click();
    });
    form.btnPrefClick();
    int rgb, hls, hsv, cmy, cmyk, name, visual;
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    EXPECT_EQ(hsv, 0);
    int size = 0;
    ReadSize(size);
    EXPECT_EQ(size, 7);
    // The next showing by the program loads the store again.
    QTimer::singleShot(0, [this] {
        EXPECT_FALSE(params_.findChild<QCheckBox*>("chkHsv")->isChecked());
        EXPECT_TRUE(params_.findChild<QRadioButton*>("rdbMuchBigger")->isChecked());
        params_.reject();
    });
    form.btnPrefClick();
}

// An ampersand marks the accelerator: the label shows no ampersand of its
// own, and Alt with the letter takes the focus to the control it names.
TEST_F(AppTest, AmpersandsInLabelsMarkAccelerators) {
    const std::string languages = folder_ / "languages";
    std::filesystem::create_directories(languages);
    std::ofstream(languages + "/amp.txt")
        << "MainRgbRed\t&Red\nMainRgbGreen\tGr&een\n"
           "MainRgbBlue\tBlue && grey\nAboutVersion\t&Version 2\n";
    LoadLanguageFile(languages, "amp.txt");
    TMainForm& form = Start();
    auto* red = Child<QLabel>("lblRed");
    EXPECT_EQ(red->buddy(), Slider("bstRed")->Slider());
    EXPECT_EQ(Child<QLabel>("lblBlu")->buddy(), Slider("bstBlu")->Slider());
    for (const char* name : {"lblHue", "lblZSat", "lblFile", "lblSort", "lblColorList"}) {
        EXPECT_NE(Child<QLabel>(name)->buddy(), nullptr) << name;
    }
    ShowPage(TMainForm::PageRgb);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Slider("bstRed")->Slider());
    QTest::keyClick(&form, Qt::Key_E, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Slider("bstGrn")->Slider());

    // A label that names no control shows the text without its markers.
    TAboutBox about;
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 2");
}

// A new field holds the colour under its centred mark, so black on the first
// start moves the mark to the corner and shows the grey plane.
TEST_F(AppTest, VisualPageShowsTheCurrentColoursPlaneOnTheFirstStart) {
    Start();
    ShowPage(TMainForm::PageVisual);
    auto* field = Child<BColorSelector>("VisualColorSelector");
    EXPECT_EQ(Child<QSlider>("tkbZComponent")->value(), 0);
    EXPECT_EQ(field->ZValue(), 0.0f);
    EXPECT_EQ(field->XValue(), 0.0f);
    EXPECT_EQ(field->YValue(), 0.0f);
    const QImage shown = field->grab().toImage();
    const QColor middle = shown.pixelColor(92, 40);
    EXPECT_EQ(middle.red(), middle.green());
    EXPECT_EQ(middle.green(), middle.blue());
}

// The plane is drawn only while its page shows: colours chosen on another
// page cost no rebuild, and clicking the Visual tab shows the plane of the
// colour chosen last.
TEST_F(AppTest, VisualPageDrawsThePlaneOfTheColourChosenElsewhere) {
    Start();
    form_->show();
    ShowPage(TMainForm::PageRgb);
    auto* field = Child<BColorSelector>("VisualColorSelector");
    const int builds = field->BitmapBuilds();
    auto* html = Child<QLineEdit>("edtHtml");
    html->selectAll();
    QTest::keyClicks(html, "#ff0000"); // saturation 1: the plane changes
    html->selectAll();
    QTest::keyClicks(html, "#00ff00");
    EXPECT_EQ(field->BitmapBuilds(), builds);
    auto* tabs = Child<QTabWidget>("pagColorSpace")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(TMainForm::PageVisual).center());
    ASSERT_EQ(form_->ActivePage(), TMainForm::PageVisual);
    // Hue 0 at the left edge, lightness one half in the middle row: red.
    const QColor left = field->grab().toImage().pixelColor(1, 40);
    EXPECT_GT(left.red(), 230);
    EXPECT_LT(left.green(), 25);
    EXPECT_LT(left.blue(), 25);
    // The axes chosen on the page redraw it: hue across, saturation down, at
    // the lightness of green, so the top row is grey.
    auto* axes = Child<QComboBox>("cboVisual");
    axes->setFocus();
    QTest::keyClick(axes, Qt::Key_Down);
    ASSERT_EQ(axes->currentIndex(), 1);
    const QColor top = field->grab().toImage().pixelColor(1, 0);
    EXPECT_NEAR(top.red(), 128, 2);
    EXPECT_EQ(top.red(), top.green());
    EXPECT_EQ(top.green(), top.blue());
}

// Without the set-up step the colour folder setting is empty: the working
// folder's lists are offered.
TEST_F(AppTest, EmptyColourFolderMeansTheWorkingFolder) {
    const std::filesystem::path lists = folder_ / "lists";
    std::filesystem::create_directories(lists);
    for (const char* name : {"web.txt", "print.txt"}) {
        std::filesystem::copy_file(std::string(TINTOREL_DATA_DIR) + "colours/" + name,
                                   lists / name);
    }
    WriteColorFile("web.txt");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(lists);
    Start();
    std::filesystem::current_path(before);
    auto* files = Child<QComboBox>("cboFile");
    ASSERT_EQ(files->count(), 2);
    EXPECT_EQ(files->currentText(), "web.txt");
    EXPECT_EQ(ColorList().size(), 148u);
}

// In every shipped language no label runs into the control after it, the
// radio buttons keep clear of the sliders, and the name list shows whole
// rows only.
TEST_F(AppTest, NothingOverlapsInAnyLanguage) {
    for (const char* language : {"english.txt", "french.txt", "german.txt"}) {
        InstallData(language);
        Start().show();
        QApplication::processEvents();
        const std::pair<const char*, const char*> beside[] = {{"lblXAndY", "cboVisual"},
                                                              {"lblFile", "cboFile"},
                                                              {"lblSort", "cboName"},
                                                              {"lblColorList", "lstName"}};
        for (const auto& [label, control] : beside) {
            auto* l = Child<QLabel>(label);
            const int textWidth = l->fontMetrics().horizontalAdvance(l->text());
            EXPECT_LE(l->x() + std::min(textWidth, l->width()), Child<QWidget>(control)->x() - 4)
                << language << " " << label;
            EXPECT_GE(l->height(), l->heightForWidth(l->width())) << language << " " << label;
        }
        const QRect black = Slider("bstBlk2")->geometry();
        for (const char* radio : {"rdbCmykByte", "rdbCmykPercent"}) {
            EXPECT_GE(Child<QRadioButton>(radio)->y(), black.bottom() + 4) << language;
        }
        ShowPage(TMainForm::PageName);
        QApplication::processEvents();
        auto* list = Child<QListView>("lstName");
        EXPECT_EQ(list->viewport()->height() % 15, 0) << list->viewport()->height();
        EXPECT_GE(list->viewport()->height(), 60);
    }
}

// The window's creation reads the settings file once; closing saves the
// dozen values in one rewrite: the file and its folder flushed once each.
// The preferences' OK stores its eleven values the same way.
TEST_F(AppTest, CreationReadsOnceAndClosingWritesOnce) {
    InstallData();
    auto& store = dynamic_cast<FileRegistryStore&>(SettingsStore());
    const int reads = store.Reads();
    TMainForm& form = Start();
    EXPECT_EQ(store.Reads() - reads, 1);
    QTimer::singleShot(0, [this] { params_.findChild<QPushButton*>("btnOk")->click(); });
    int syncs = store.Syncs();
    form.btnPrefClick();
    EXPECT_EQ(store.Syncs() - syncs, 2);
    Slider("bstRed")->SetValue(9);
    syncs = store.Syncs();
    Close();
    EXPECT_EQ(store.Syncs() - syncs, 2);
    EXPECT_FLOAT_EQ(ReadRed(), 9.0f / 255.0f);
    int size = -1;
    ReadSize(size);
    EXPECT_EQ(size, 0); // OK with no size checked
}

TEST(MainWindowPosition, KeptOnAnyMonitorElseCentredOnThePrimary) {
    const QSize window(407, 200);
    const QRect primary(0, 0, 1920, 1080);
    const QList<QRect> two = {primary, QRect(1920, 0, 1280, 1024)};
    const QList<QRect> above = {primary, QRect(0, -900, 1600, 900)};
    const QPoint centred((1920 - 407) / 2, (1080 - 200) / 2);
    const struct {
        const char* what;
        int x, y;
        QList<QRect> screens;
        QPoint expected;
    } cases[] = {
        {"on the primary", 60, 70, two, {60, 70}},
        {"on the second monitor", 2000, 300, two, {2000, 300}},
        {"across both monitors", 1700, 300, two, centred},
        {"past the second monitor", 3100, 300, two, centred},
        {"on a monitor above", 100, -800, above, {100, -800}},
        {"left edge of the second", 1920, 300, two, centred},
        {"nothing stored", 0, 70, two, centred},
        {"nothing stored", 60, 0, two, centred},
        {"right edge touches", 1920 - 407, 70, {primary}, centred},
        {"huge", 2147483600, 2147483600, two, centred},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MainWindowPosition(c.x, c.y, window, c.screens, primary), c.expected) << c.what;
    }
    // Centred on the primary, wherever it lies.
    EXPECT_EQ(MainWindowPosition(0, 0, window, two, QRect(1920, 0, 1280, 1024)),
              QPoint(1920 + (1280 - 407) / 2, (1024 - 200) / 2));
}

} // namespace
} // namespace tintorel

namespace tintorel {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The settings file after a first session, byte for byte: every key, value
// name, type and value the program and its set-up step write. A value saved
// under another name, or not saved at all, shows here, which reading back
// through the same names never could. TINTOREL_UPDATE_GOLDEN=1 rewrites the
// expected file after a deliberate change of the format.
TEST_F(AppTest, SettingsFileAfterTheFirstSessionMatchesItsGoldenFile) {
    InstallData("german.txt", "web.txt");
    Start();
    form_->move(150, 100);
    ShowPage(TMainForm::PageHsv);
    auto* html = Child<QLineEdit>("edtHtml");
    html->selectAll();
    QTest::keyClicks(html, "#336699");
    QTest::mouseClick(Child<QRadioButton>("rdbHsvPercent"), Qt::LeftButton);
    // The preferences write the visibility, stay-on-top and pipette values.
    QTimer::singleShot(0, [this] {
        params_.findChild<QCheckBox*>("chkCmy")->setChecked(false);
        params_.findChild<QRadioButton*>("rdbMuchBigger")->setChecked(true);
        params_.findChild<QPushButton*>("btnOk")->click();
    });
    QTest::mouseClick(Child<QToolButton>("btnPref"), Qt::LeftButton);
    Close();
    std::ifstream in(folder_ / "config/VRQM/tintorel.reg", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string actual = Replaced(text.str(), TINTOREL_DATA_DIR, "@DATA@/");
    const std::string golden = std::string(TINTOREL_TEST_DIR) + "/golden/settings-after-close.reg";
    if (std::getenv("TINTOREL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << actual;
    }
    std::ifstream expected(golden, std::ios::binary);
    std::stringstream expectedText;
    expectedText << expected.rdbuf();
    EXPECT_EQ(actual, expectedText.str());
}

// Each start replaces the session log: after two sessions it tells of the
// second only.
TEST_F(AppTest, EachStartReplacesTheSessionLog) {
    for (int session = 0; session < 2; ++session) {
        Start();
        Close();
        form_.reset();
    }
    const std::string log = ReadLog();
    const std::string begin = "-- Begin of session --";
    ASSERT_NE(log.find(begin), std::string::npos) << log;
    EXPECT_EQ(log.find(begin), log.rfind(begin)) << log;
}

} // namespace
} // namespace tintorel
