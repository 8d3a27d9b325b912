// Every form shows the colour the user gave: codes on every page, hand-made
// scales, typed texts, the Visual field, labels, the window's place.
#include "apptest.h"
#include "tests/patience.h"

#include "app/placement.h"
#include "colourlist/colorname.h"
#include "controls/colorselector.h"
#include "controls/uitext.h"
#include "locale/texttables.h"
#include "platform/store/filestore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <vector>

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
    // U+0141 is no digit, though its low byte is the letter A.
    Type(Child<QLineEdit>("edtVisualBasic"), QString::fromUtf8("&H0000f\xc5\x81"));
    EXPECT_EQ(Html(), "#0f0000");
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
    Start();
    QTimer::singleShot(0, [this] {
        params_.findChild<QCheckBox*>("chkHsv")->setChecked(false);
        params_.findChild<QRadioButton*>("rdbMuchBigger")->setChecked(true);
        QShowEvent restored;
        QApplication::sendEvent(&params_, &restored);
        EXPECT_FALSE(params_.findChild<QCheckBox*>("chkHsv")->isChecked());
        params_.findChild<QPushButton*>("btnOk")->click();
    });
    Press("btnPref");
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
    Press("btnPref");
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
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, kPatienceMs));
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

// Setting the field up at start draws no plane while another page shows;
// starting on the Visual page draws it, once, before it is first painted.
TEST_F(AppTest, PlaneIsDrawnAtStartOnlyForTheVisualPage) {
    const struct {
        int page;
        int builds;
    } cases[] = {{TMainForm::PageRgb, 0}, {TMainForm::PageName, 0}, {TMainForm::PageVisual, 1}};
    for (const auto& c : cases) {
        WriteTab(TMainForm::StoredTab(c.page));
        Start();
        form_->show();
        QApplication::processEvents();
        EXPECT_EQ(Child<BColorSelector>("VisualColorSelector")->BitmapBuilds(), c.builds)
            << "page " << c.page;
        form_.reset();
    }
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
    const QColor left = field->grab().toImage().pixelColor(1, field->height() / 2);
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

// A colour folder setting that is there but empty means the working folder.
TEST_F(AppTest, EmptyColourFolderMeansTheWorkingFolder) {
    Write(setting::ColorDir, "");
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

// The name list shows whole rows only, at any font size: its rows grow
// with the font, and its height is a whole number of them.
TEST_F(AppTest, TheNameListShowsWholeRows) {
    const QFont desktop = QApplication::font();
    for (const int points : {0, 8, 13, 20}) {
        QFont font = desktop;
        if (points > 0) {
            font.setPointSize(points);
        }
        QApplication::setFont(font);
        InstallData();
        Start().show();
        ShowPage(TMainForm::PageName);
        QApplication::processEvents();
        auto* list = Child<QListView>("lstName");
        const int row = form_->NameRowHeight();
        EXPECT_GE(row, 15);
        EXPECT_GE(row, list->fontMetrics().height());
        EXPECT_EQ(list->viewport()->height() % row, 0) << list->viewport()->height();
        EXPECT_EQ(list->viewport()->height() / row, 5) << points << " pt";
        EXPECT_EQ(list->visualRect(list->model()->index(1, 0)).height(), row);
        form_.reset();
    }
    QApplication::setFont(desktop);
}

// A name too long for its row ends in an ellipsis, and its tooltip shows it
// whole; a name that fits has no tooltip.
TEST_F(AppTest, LongNamesAreElidedWithTheWholeNameAsTooltip) {
    const std::string folder = folder_ / "lists/";
    std::filesystem::create_directories(folder);
    const std::string longName =
        "A very long colour name from a paint maker's catalogue number 1234";
    std::ofstream(folder + "long.txt") << "Red,100,0,0,0\n" << longName << ",0,100,0,0\n";
    InstallData();
    Write(setting::ColorDir, folder);
    Write(setting::ColorFile, std::string("long.txt"));
    Start().show();
    ShowPage(TMainForm::PageName);
    QApplication::processEvents();
    auto* list = Child<QListView>("lstName");
    ASSERT_EQ(list->model()->rowCount(), 2);
    Choose(Child<QComboBox>("cboName"), 1); // file order: Red, then the long one
    for (int row = 0; row < 2; ++row) {
        const QModelIndex index = list->model()->index(row, 0);
        const QRect rect = list->visualRect(index);
        QHelpEvent help(QEvent::ToolTip, rect.center(),
                        list->viewport()->mapToGlobal(rect.center()));
        QApplication::sendEvent(list->viewport(), &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(),
                  row == 1 ? QString::fromStdString(longName) : QString())
            << row;
    }
    // The painted text stays left of the row's end: its last column is the
    // list's background.
    const QImage picture = list->viewport()->grab().toImage();
    const QRect second = list->visualRect(list->model()->index(1, 0));
    int inked = 0;
    for (int x = second.left(); x < second.right(); ++x) {
        if (picture.pixelColor(x, second.center().y()) != list->palette().color(QPalette::Base)) {
            inked = x;
        }
    }
    EXPECT_LT(inked, second.right() - 1);
    QToolTip::hideText();
}

// A palette as dark desktops have it: light text on dark grounds.
QPalette DarkPalette() {
    QPalette dark = QApplication::palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        dark.setColor(group, QPalette::Window, QColor(45, 45, 45));
        dark.setColor(group, QPalette::Button, QColor(53, 53, 53));
        dark.setColor(group, QPalette::WindowText, QColor(238, 238, 236));
        dark.setColor(group, QPalette::ButtonText, QColor(238, 238, 236));
        dark.setColor(group, QPalette::Text, QColor(238, 238, 236));
        dark.setColor(group, QPalette::Base, QColor(30, 30, 30));
    }
    return dark;
}

// Each row shows its entry's colour in a swatch 1.5 times as wide as high,
// two pixels in from the row's corner and framed in the row's text colour,
// so that a dark swatch on a dark list still shows its edge.
TEST_F(AppTest, NameRowsShowAFramedSwatchOfTheirColour) {
    const QPalette desktop = QApplication::palette();
    InstallData("english.txt", "web.txt");
    for (const QPalette& palette : {desktop, DarkPalette()}) {
        QApplication::setPalette(palette);
        Start().show();
        ShowPage(TMainForm::PageName);
        QApplication::processEvents();
        auto* list = Child<QListView>("lstName");
        // The top row shown, or the one under it if the top one is selected.
        const int top = list->indexAt(QPoint(1, 1)).row();
        const int row = top == list->currentIndex().row() ? top + 1 : top;
        const QRect rect = list->visualRect(list->model()->index(row, 0));
        const QImage shot = list->viewport()->grab(rect).toImage();
        const int h = rect.height() - 4;
        const int w = static_cast<int>(h * 1.5);
        EXPECT_EQ(rect.height(), form_->NameRowHeight());
        const QRgb text = list->palette().color(QPalette::Text).rgb();
        for (const QPoint corner : {QPoint(2, 2), QPoint(2 + w - 1, 2), QPoint(2, 2 + h - 1),
                                    QPoint(2 + w - 1, 2 + h - 1)}) {
            EXPECT_EQ(shot.pixel(corner), text) << corner.x() << "," << corner.y();
        }
        const PackedColor entry =
            BColorName(ColorList()[static_cast<std::size_t>(row)].Name).ToColor();
        EXPECT_EQ(shot.pixel(2 + w / 2, 2 + h / 2),
                  qRgb(entry & 0xFF, (entry >> 8) & 0xFF, (entry >> 16) & 0xFF));
        // Outside the frame, the list's own background.
        const QRgb base = list->palette().color(QPalette::Base).rgb();
        EXPECT_EQ(shot.pixel(1, 1), base);
        EXPECT_EQ(shot.pixel(2 + w, 2 + h / 2), base);
        form_.reset();
    }
    QApplication::setPalette(desktop);
}

// The chosen row's name is written in the palette's colour for text on a
// highlight: on a dark highlight, light letters.
TEST_F(AppTest, TheChosenNameIsWrittenInTheHighlightsTextColour) {
    const QPalette desktop = QApplication::palette();
    QPalette palette = desktop;
    palette.setColor(QPalette::Highlight, QColor(20, 20, 120));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    QApplication::setPalette(palette);
    const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
    InstallData("english.txt", "web.txt");
    Start().show();
    ShowPage(TMainForm::PageName);
    QApplication::processEvents();
    auto* list = Child<QListView>("lstName");
    const QModelIndexList chosen = list->selectionModel()->selectedRows();
    ASSERT_EQ(chosen.size(), 1);
    const QRect rect = list->visualRect(chosen.front());
    const QImage shot = list->viewport()->grab(rect).toImage();
    // Right of the swatch, where the letters are.
    int lightest = 0;
    for (int x = rect.height() * 2; x < shot.width(); ++x) {
        for (int y = 0; y < shot.height(); ++y) {
            lightest = std::max(lightest, qGray(shot.pixel(x, y)));
        }
    }
    EXPECT_GT(lightest, 200);
}

// WCAG's contrast ratio of two colours: 1 for equal ones, 21 for black on
// white.
double ContrastRatio(QColor a, QColor b) {
    const auto luminance = [](QColor c) {
        const auto channel = [](double v) {
            v /= 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Under a dark palette the glyphs of the pipette and preferences buttons are
// drawn light: some of their pixels stand out from the button's background
// by a contrast ratio of 3 or more, as they do under a light one.
TEST_F(AppTest, GlyphsStandOutUnderLightAndDarkPalettes) {
    const QPalette desktop = QApplication::palette();
    for (const QPalette& palette : {desktop, DarkPalette()}) {
        QApplication::setPalette(palette);
        Start().show();
        QApplication::processEvents();
        for (const char* name : {"btnCapture", "btnPref"}) {
            const QImage shot = Child<QToolButton>(name)->grab().toImage();
            const QColor background = shot.pixelColor(1, 1);
            double best = 1;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    best = std::max(best, ContrastRatio(shot.pixelColor(x, y), background));
                }
            }
            EXPECT_GE(best, 3.0) << name << " on " << background.name().toStdString();
        }
        form_.reset();
    }
    QApplication::setPalette(desktop);
}

// The window's creation reads the settings file once; closing saves the
// dozen values in one rewrite: the file and its folder flushed once each.
// The preferences' OK stores its eleven values the same way.
TEST_F(AppTest, CreationReadsOnceAndClosingWritesOnce) {
    InstallData();
    auto& store = dynamic_cast<FileRegistryStore&>(SettingsStore());
    const int reads = store.Reads();
    Start();
    EXPECT_EQ(store.Reads() - reads, 1);
    QTimer::singleShot(0, [this] { params_.findChild<QPushButton*>("btnOk")->click(); });
    int syncs = store.Syncs();
    Press("btnPref");
    EXPECT_EQ(store.Syncs() - syncs, 2);
    Slider("bstRed")->SetValue(9);
    syncs = store.Syncs();
    Close();
    EXPECT_EQ(store.Syncs() - syncs, 2);
    EXPECT_FLOAT_EQ(ReadRed(), 9.0f / 255.0f);
    int size = -1;
    ReadSize(size);
    EXPECT_EQ(size, 1); // the smallest, checked on the first showing
}

TEST(MainWindowPosition, KeptOnAnyMonitorElseCentredOnThePrimary) {
    const QSize window(407, 200);
    const QRect primary(0, 0, 1920, 1080);
    const QList<QRect> two = {primary, QRect(1920, 0, 1280, 1024)};
    const QList<QRect> above = {primary, QRect(0, -900, 1600, 900)};
    const QPoint centred((1920 - 407) / 2, (1080 - 200) / 2);
    const struct {
        const char* what;
        std::optional<QPoint> stored;
        QList<QRect> screens;
        QPoint expected;
    } cases[] = {
        {"on the primary", QPoint(60, 70), two, {60, 70}},
        {"on the second monitor", QPoint(2000, 300), two, {2000, 300}},
        {"across both monitors", QPoint(1700, 300), two, centred},
        {"past the second monitor", QPoint(3100, 300), two, centred},
        {"on a monitor above", QPoint(100, -800), above, {100, -800}},
        {"left edge of the second", QPoint(1920, 300), two, {1920, 300}},
        {"at the left edge", QPoint(0, 70), two, {0, 70}},
        {"at the top edge", QPoint(60, 0), two, {60, 0}},
        {"in the corner", QPoint(0, 0), two, {0, 0}},
        {"right edge touches", QPoint(1920 - 407, 70), {primary}, {1920 - 407, 70}},
        {"one pixel past the right edge", QPoint(1920 - 406, 70), {primary}, centred},
        {"bottom edge touches", QPoint(5, 1080 - 200), {primary}, {5, 1080 - 200}},
        {"left of the screen", QPoint(-1, 70), {primary}, centred},
        {"nothing stored", std::nullopt, two, centred},
        {"huge", QPoint(2147483600, 2147483600), two, centred},
        {"least", QPoint(INT_MIN, INT_MIN), two, centred},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MainWindowPosition(c.stored, window, c.screens, primary), c.expected) << c.what;
    }
    // Centred on the primary, wherever it lies.
    EXPECT_EQ(MainWindowPosition(std::nullopt, window, two, QRect(1920, 0, 1280, 1024)),
              QPoint(1920 + (1280 - 407) / 2, (1024 - 200) / 2));
}

} // namespace
} // namespace tintorel

namespace tintorel {
namespace {

// `actual` against the golden file `name` (written anew from `actual` when
// TINTOREL_UPDATE_GOLDEN is set, for a change meant to show there).
void ExpectGolden(const std::string& actual, const char* name) {
    const std::string golden = std::string(TINTOREL_TEST_DIR) + "/golden/" + name;
    if (std::getenv("TINTOREL_UPDATE_GOLDEN") != nullptr) {
        std::ofstream(golden, std::ios::binary) << actual;
    }
    std::ifstream expected(golden, std::ios::binary);
    std::stringstream expectedText;
    expectedText << expected.rdbuf();
    EXPECT_EQ(actual, expectedText.str()) << name;
}

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
    ShowPage(TMainForm::PageVisual);
    Choose(Child<QComboBox>("cboVisual"), 1);
    ShowPage(TMainForm::PageName);
    Choose(Child<QComboBox>("cboName"), 2);
    ShowPage(TMainForm::PageHsv);
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
    ExpectGolden(actual, "settings-after-close.reg");
}

// The preferences dialog as the user meets it: opened with its button,
// closed with its own buttons from inside its modal loop.
void InPreferences(TMainForm& form, const std::function<void(TParamForm&)>& act,
                   TParamForm& params) {
    QTimer::singleShot(0, [&] { act(params); });
    QTest::mouseClick(form.findChild<QToolButton*>("btnPref"), Qt::LeftButton);
}

// The nine check boxes in the order of the stored values they show.
const char* const kVisibilityBoxes[] = {"chkRgb",  "chkHls",    "chkHsv",  "chkCmy", "chkCmyk",
                                        "chkName", "chkVisual", "chkHtml", "chkVb"};

std::vector<int> StoredVisibility() {
    std::vector<int> v(9, -1);
    ReadTabVisibility(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
    ReadCodeVisibility(v[7], v[8]);
    return v;
}

// Each stored value reaches its own check box and size, and each box and
// size goes back to its own value: one value off at a time, so that two
// values read or written the other way round show.
TEST_F(AppTest, PreferencesMapEveryValueBothWays) {
    InstallData();
    TMainForm& form = Start();
    for (int off = 0; off < 9; ++off) {
        std::vector<int> stored(9, 1);
        stored[off] = 0;
        stored[(off + 4) % 9] = 2; // any value but 0 means shown
        WriteTabVisibility(stored[0], stored[1], stored[2], stored[3], stored[4], stored[5],
                           stored[6]);
        WriteCodeVisibility(stored[7], stored[8]);
        InPreferences(
            form,
            [&](TParamForm& params) {
                for (int box = 0; box < 9; ++box) {
                    EXPECT_EQ(params.findChild<QCheckBox*>(kVisibilityBoxes[box])->isChecked(),
                              box != off)
                        << kVisibilityBoxes[box] << " with " << kVisibilityBoxes[off] << " off";
                }
                params.reject();
            },
            params_);
        InPreferences(
            form,
            [&](TParamForm& params) {
                for (int box = 0; box < 9; ++box) {
                    params.findChild<QCheckBox*>(kVisibilityBoxes[box])->setChecked(box != off);
                }
                params.findChild<QPushButton*>("btnOk")->click();
            },
            params_);
        std::vector<int> expected(9, 1);
        expected[off] = 0;
        EXPECT_EQ(StoredVisibility(), expected) << kVisibilityBoxes[off] << " unchecked";
    }
    // A size the dialog does not offer shows as the smallest, as it samples.
    const struct {
        int stored;
        const char* checked;
        int storedBack; // after OK with the dialog as it was loaded
    } sizes[] = {{1, "rdbSmall", 1}, {3, "rdbBigger", 3}, {7, "rdbMuchBigger", 7},
                 {0, "rdbSmall", 1}, {5, "rdbSmall", 1},  {-3, "rdbSmall", 1}};
    for (const auto& c : sizes) {
        WriteSize(c.stored);
        InPreferences(
            form,
            [&](TParamForm& params) {
                for (const char* radio : {"rdbSmall", "rdbBigger", "rdbMuchBigger"}) {
                    EXPECT_EQ(params.findChild<QRadioButton*>(radio)->isChecked(),
                              c.checked != nullptr && std::string(radio) == c.checked)
                        << radio << " for stored size " << c.stored;
                }
                params.findChild<QPushButton*>("btnOk")->click();
            },
            params_);
        int size = -1;
        ReadSize(size);
        EXPECT_EQ(size, c.storedBack) << c.stored;
    }
    for (const int onTop : {0, 1, 2}) {
        WriteStayOnTop(onTop);
        InPreferences(
            form,
            [&](TParamForm& params) {
                EXPECT_EQ(params.findChild<QRadioButton*>("rdbYes")->isChecked(), onTop != 0);
                EXPECT_EQ(params.findChild<QRadioButton*>("rdbNo")->isChecked(), onTop == 0);
                params.findChild<QPushButton*>("btnOk")->click();
            },
            params_);
        EXPECT_EQ(ReadStayOnTop(), onTop != 0 ? 1 : 0);
    }
}

// Every text a window shows that holds a key of the language tables: its
// control's name, where it shows (title, caption, tab, hint, item, the name
// a screen reader says) and the text.
void ListKeyedTexts(QWidget* window, const std::vector<std::string>& keys, std::string& out) {
    const auto holdsKey = [&keys](const QString& text) {
        const std::string bytes = text.toStdString();
        return std::any_of(keys.begin(), keys.end(), [&bytes](const std::string& key) {
            return bytes.find(key) != std::string::npos;
        });
    };
    const auto line = [&](const QWidget* control, const char* where, const QString& text) {
        if (holdsKey(text)) {
            out += control->objectName().toStdString() + ' ' + where + ": " + text.toStdString() +
                   '\n';
        }
    };
    QList<QWidget*> controls = window->findChildren<QWidget*>();
    controls.prepend(window);
    for (const QWidget* control : controls) {
        if (control->objectName().isEmpty() || control->objectName().startsWith("qt_")) {
            continue;
        }
        if (control->isWindow()) {
            line(control, "title", control->windowTitle());
        }
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            line(control, "caption", label->text());
        }
        if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
            line(control, "caption", button->text());
        }
        if (const auto* tabs = qobject_cast<const QTabWidget*>(control)) {
            for (int i = 0; i < tabs->count(); ++i) {
                line(tabs->widget(i), "tab", tabs->tabText(i));
            }
        }
        if (const auto* list = qobject_cast<const QComboBox*>(control)) {
            for (int i = 0; i < list->count(); ++i) {
                line(control, ("item " + std::to_string(i)).c_str(), list->itemText(i));
            }
        }
        line(control, "hint", control->toolTip());
        line(control, "spoken", control->accessibleName());
    }
}

// With a language file whose text for every key is the key itself, each
// control shows the key it takes its text from. The file is written from
// the language tables; what the windows show is pinned in a golden file,
// so that two captions taken the other way round, or a control that lost
// its screen reader's name, show as a change there.
TEST_F(AppTest, EveryControlShowsTheTextOfItsOwnKey) {
    std::vector<std::string> keys;
    std::ofstream language(folder_ / "keys.txt", std::ios::binary);
    for (const auto& table : {MainTextKeys(), ParamTextKeys(), AboutTextKeys()}) {
        for (const TextKey& key : table) {
            keys.emplace_back(key.key);
            language << key.key << '\t' << key.key << '\n';
        }
    }
    language.close();
    ASSERT_EQ(LoadLanguageFile(folder_.Path(), "keys.txt"), 1);
    Start();
    TParamForm params;
    TAboutBox about;
    std::string actual;
    for (QWidget* window : {static_cast<QWidget*>(form_.get()), static_cast<QWidget*>(&params),
                            static_cast<QWidget*>(&about)}) {
        ListKeyedTexts(window, keys, actual);
    }
    ExpectGolden(actual, "texts-by-key.txt");
}

// A control named by its hint is named without the hint's key marker: a
// screen reader says the word, not the ampersand.
TEST_F(AppTest, AHintWithAMarkerNamesItsControlWithoutIt) {
    std::ofstream(folder_ / "marked.txt", std::ios::binary) << "MainPipette\tPi&pette\n"
                                                            << "MainPrefs\tP&references\n";
    ASSERT_EQ(LoadLanguageFile(folder_.Path(), "marked.txt"), 1);
    Start();
    EXPECT_EQ(Child<QToolButton>("btnCapture")->accessibleName(), "Pipette");
    EXPECT_EQ(Child<QToolButton>("btnPref")->accessibleName(), "Preferences");
}

// Closing the window shows the about box, modally, once the window is gone;
// a click on its picture closes it and the session ends. A session ended by
// the desktop (a signal) shows none.
TEST_F(AppTest, ClosingShowsTheAboutBoxUntilItsPictureIsClicked) {
    InstallData();
    Start();
    form_->show();
    bool shown = false;
    bool windowGone = false;
    QTimer::singleShot(0, [&] {
        shown = about_.isVisible() && about_.isModal();
        windowGone = !form_->isVisible();
        QWidget* picture = about_.findChild<QWidget*>("imgPicture");
        QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
    });
    form_->close();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(windowGone);
    EXPECT_FALSE(about_.isVisible());
    EXPECT_NE(ReadLog().find("-- End of session --"), std::string::npos);

    Start();
    form_->show();
    bool shownOnSignal = false;
    QTimer::singleShot(0, [&] {
        shownOnSignal = about_.isVisible();
        about_.reject();
    });
    form_->EndSession();
    QApplication::processEvents();
    EXPECT_FALSE(shownOnSignal || about_.isVisible());
}

// The HLS hue slider rounds; the track bar truncates what it shows and
// reads back at exactly 1/255 a step. #236328 has hue 124.69 and a
// saturation of 121.79 / 255, both far from a half.
TEST_F(AppTest, SlidersRoundOrTruncateAsTheirPagesDo) {
    InstallData();
    Start();
    Type(Child<QLineEdit>("edtHtml"), "#236328");
    ShowPage(TMainForm::PageHls);
    EXPECT_EQ(Slider("bstHue")->Value(), 125);
    // A saturation of exactly 82.5 % shows 83, though its float lies below.
    Type(Child<QLineEdit>("edtHtml"), "#ea246b");
    QTest::mouseClick(Child<QRadioButton>("rdbHlsDegreePercent"), Qt::LeftButton);
    EXPECT_EQ(Slider("bstSat")->Value(), 83);
    Type(Child<QLineEdit>("edtHtml"), "#236328");
    ShowPage(TMainForm::PageVisual);
    auto* z = Child<QSlider>("tkbZComponent");
    EXPECT_EQ(z->value(), 121);
    z->setFocus();
    QTest::keyClick(z, Qt::Key_End);
    ASSERT_EQ(z->value(), 255);
    EXPECT_EQ(Child<BColorSelector>("VisualColorSelector")->ZValue(), 1.0f);
}

// A stored list that is not in the folder leaves the first list chosen.
TEST_F(AppTest, AStoredListThatIsGoneGivesTheFirstList) {
    InstallData("english.txt", "gone.txt");
    Start();
    auto* files = Child<QComboBox>("cboFile");
    ASSERT_GT(files->count(), 0);
    EXPECT_EQ(files->currentIndex(), 0);
    EXPECT_EQ(CurrentColorFileName(), FileNameBytes(files->itemText(0)));
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
