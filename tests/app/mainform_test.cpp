#include "apptest.h"

#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"
#include "controls/colorselector.h"
#include "controls/contrastsample.h"
#include "log/log.h"
#include "platform/store/filestore.h"
#include "version.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <climits>
#include <typeinfo>

namespace tintorel {
namespace {

// Started by name on a fresh account, without the set-up step: the shipped
// English texts and colour lists, black on the RGB page, and the log says
// which folders were taken. Nothing of that is written to the settings.
TEST_F(AppTest, FirstRunWithoutSetUpShowsEnglishTextsAndTheShippedLists) {
    TMainForm& form = Start(LoadLanguage());
    EXPECT_EQ(form.windowTitle(), "Tintorel");
    auto* pages = Child<QTabWidget>("pagColorSpace");
    const char* const tabs[] = {"RGB", "HLS", "HSV", "CMY", "CMYK", "OKLCH", "Visual", "Name"};
    ASSERT_EQ(pages->count(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(pages->tabText(i), tabs[i]) << i;
    }
    auto* visual = Child<QComboBox>("cboVisual");
    auto* sorts = Child<QComboBox>("cboName");
    ASSERT_EQ(visual->count(), 3);
    ASSERT_EQ(sorts->count(), 8);
    EXPECT_EQ(sorts->itemText(7), "By growing blue");
    EXPECT_EQ(sorts->currentIndex(), 0);
    EXPECT_EQ(visual->currentIndex(), 0);
    EXPECT_EQ(Child<QLineEdit>("edtHtml")->toolTip(), "Html");
    EXPECT_EQ(form.ActivePage(), TMainForm::PageRgb);
    EXPECT_EQ(Html(), "#000000");
    EXPECT_EQ(Vb(), "&H0");
    EXPECT_EQ(Preview(), qRgb(0, 0, 0));
    EXPECT_EQ(form.PipetteSize(), 1); // nothing stored samples like the smallest size
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // As large as the layout needs, without the OK and Cancel strip.
    EXPECT_EQ(form.size(), form.sizeHint());
    EXPECT_FALSE(Child<QWidget>("cmdOk")->isVisibleTo(&form));
    EXPECT_EQ(form.pos(), Centred());
    EXPECT_EQ(Child<QComboBox>("cboFile")->count(), 4);
    // The web colours, as after the set-up step, not the first file.
    EXPECT_EQ(Child<QComboBox>("cboFile")->currentText(), "web.txt");
    EXPECT_EQ(ColorList().size(), 148u);
    EXPECT_TRUE(Child<QRadioButton>("rdbRgbByte")->isChecked());
    EXPECT_TRUE(Child<QRadioButton>("rdbHlsDegreeByte")->isChecked());
    const std::string shipped = std::string(TINTOREL_DATA_DIR);
    const std::string log = ReadLog();
    for (const std::string& line :
         {"Using " + shipped + "languages/: the setting LocaleDir is missing",
          "Using " + shipped + "languages/english.txt: the setting LocaleFile is missing or empty",
          "Using " + shipped + "colours/: the setting ColorDir is missing"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    }
    for (const TextSetting* folder :
         {&setting::ColorDir, &setting::LocaleDir, &setting::LocaleFile}) {
        EXPECT_FALSE(Exists(*folder)) << folder->name;
    }
}

// Started by name without a language setting, the program speaks the
// user's locale as the set-up step would have chosen it.
TEST_F(AppTest, AStartByNameFollowsTheLocale) {
    const struct {
        const char* variable;
        const char* value;
        const char* file;
        const char* cancel; // the text of MainCancel in that file
    } cases[] = {
        {"LANG", "de_DE.UTF-8", "german.txt", "&Abbrechen"},
        {"LC_MESSAGES", "fr_FR.UTF-8", "french.txt", "&Annuler"},
        {"LC_ALL", "fr_CA.UTF-8", "french.txt", "&Annuler"},
        {"LANG", "pt_BR.UTF-8", "english.txt", "&Cancel"},
    };
    for (const auto& c : cases) {
        SetUp();
        setenv(c.variable, c.value, 1);
        const std::vector<std::string> notes = LoadLanguage();
        EXPECT_EQ(LookupText("MainCancel"), c.cancel) << c.value;
        ASSERT_FALSE(notes.empty());
        EXPECT_NE(notes.back().find(std::string("languages/") + c.file), std::string::npos)
            << notes.back();
        unsetenv(c.variable);
    }
}

// The language files of a checkout, as a translator copies them, show the
// program's own version in the about box.
TEST_F(AppTest, LanguageFilesShowTheProgramsVersion) {
    for (const char* file : {"english.txt", "french.txt", "german.txt"}) {
        ASSERT_EQ(LoadLanguageFile(std::string(TINTOREL_SOURCE_DIR) + "/data/languages/", file), 1);
        EXPECT_EQ(LookupText("AboutVersion").find("@"), std::string::npos) << file;
        EXPECT_NE(LookupText("AboutVersion").find(TINTOREL_VERSION), std::string::npos) << file;
    }
}

// Folders that are gone and a misspelt language file give way to what was
// shipped; a language file that was read still shows "<-->" for a key it
// lacks.
TEST_F(AppTest, StaleFoldersAndUnreadableLanguagesFallBackToTheShippedData) {
    const std::string shipped = std::string(TINTOREL_DATA_DIR);
    const std::string mine = folder_ / "mine/";
    std::filesystem::create_directories(mine);
    std::ofstream(mine + "tiny.txt") << "MainRgbRed\tRouge\n";
    const struct {
        const char* what;
        std::string colourDir, localeDir, localeFile;
        const char* title; // the window's title, or null for the marker
        const char* red;   // the red label's caption
        std::string note;  // a line the log must hold, or empty for none
    } cases[] = {
        {"stale folders", "/gone/colours/", "/gone/languages/", "french.txt", "Tintorel", "&Rouge",
         "Using " + shipped + "languages/: the setting LocaleDir names no folder"},
        {"misspelt file", shipped + "colours/", shipped + "languages/", "frnch.txt", "Tintorel",
         "&Red", "Using " + shipped + "languages/english.txt: the language file frnch.txt"},
        {"a file of one key", shipped + "colours/", mine, "tiny.txt", nullptr, "Rouge", ""},
    };
    for (const auto& c : cases) {
        Write(setting::ColorDir, c.colourDir);
        Write(setting::LocaleDir, c.localeDir);
        Write(setting::LocaleFile, c.localeFile);
        TMainForm& form = Start(LoadLanguage());
        EXPECT_EQ(form.windowTitle(), c.title != nullptr ? c.title : "<-->") << c.what;
        EXPECT_EQ(Child<QLabel>("lblRed")->text(), c.red) << c.what;
        EXPECT_EQ(Child<QComboBox>("cboFile")->count(), 4) << c.what;
        const std::string log = ReadLog();
        if (c.note.empty()) {
            EXPECT_EQ(log.find("Using "), std::string::npos) << c.what << "\n" << log;
        } else {
            EXPECT_NE(log.find(c.note), std::string::npos) << c.what << "\n" << log;
        }
        // The stored values stay as they were.
        EXPECT_EQ(Read(setting::LocaleFile), c.localeFile) << c.what;
        EXPECT_EQ(Read(setting::ColorDir), c.colourDir) << c.what;
        form_.reset();
    }
}

// A first start after the set-up step shows the web colours, although the
// print inks sort first.
TEST_F(AppTest, EnglishTextsAndTheShippedLists) {
    InstallData("english.txt", nullptr);
    TMainForm& form = Start();
    EXPECT_EQ(form.windowTitle(), "Tintorel");
    EXPECT_EQ(Child<QTabWidget>("pagColorSpace")->tabText(TMainForm::PageCmyk), "CMYK");
    EXPECT_EQ(Child<QComboBox>("cboName")->itemText(2), "By growing hue");
    auto* files = Child<QComboBox>("cboFile");
    ASSERT_EQ(files->count(), 4);
    EXPECT_EQ(files->itemText(0), "print.txt");
    EXPECT_EQ(files->currentText(), "web.txt");
    EXPECT_EQ(ColorList().size(), 148u);
}

TEST_F(AppTest, RedSliderReachesPreviewAndCodesButNotOtherPages) {
    InstallData();
    TMainForm& form = Start();
    Slider("bstRed")->SetValue(255);
    EXPECT_EQ(Preview(), qRgb(255, 0, 0));
    EXPECT_EQ(Html(), "#ff0000");
    EXPECT_EQ(Vb(), "&Hff");
    EXPECT_EQ(Slider("bstLit")->Value(), 0); // the HLS page waits for its turn
    ShowPage(TMainForm::PageHls);
    EXPECT_EQ(Slider("bstHue")->Value(), 0);
    EXPECT_EQ(Slider("bstLit")->Value(), 128);
    EXPECT_EQ(Slider("bstSat")->Value(), 255);
    EXPECT_EQ(typeid(*form.CurrentColor()), typeid(BColorHls));
}

TEST_F(AppTest, PercentModeShowsTruncatedCodeAndRoundedPreview) {
    InstallData();
    Start();
    Child<QRadioButton>("rdbRgbPercent")->click();
    EXPECT_EQ(Slider("bstRed")->MaxValue(), 100);
    Slider("bstRed")->SetValue(50);
    EXPECT_EQ(Html(), "#7f0000");
    EXPECT_EQ(Preview(), qRgb(128, 0, 0));
}

TEST_F(AppTest, SwitchingScalesKeepsTheColour) {
    InstallData();
    Start();
    Slider("bstRed")->SetValue(128);
    Child<QRadioButton>("rdbRgbPercent")->click();
    EXPECT_EQ(Slider("bstRed")->Value(), 50);
    Child<QRadioButton>("rdbRgbByte")->click();
    EXPECT_EQ(Slider("bstRed")->Value(), 128);
    EXPECT_EQ(Html(), "#800000");
}

TEST_F(AppTest, TypedCodesSetTheColour) {
    InstallData();
    Start();
    auto* html = Child<QLineEdit>("edtHtml");
    html->selectAll();
    QTest::keyClicks(html, "#12");
    EXPECT_EQ(Vb(), "&H0"); // incomplete: nothing yet
    QTest::keyClick(html, Qt::Key_Backspace);
    QTest::keyClick(html, Qt::Key_Backspace);
    QTest::keyClicks(html, "ABC");
    EXPECT_EQ(Html(), "#ABC");
    EXPECT_EQ(Vb(), "&Hccbbaa");
    EXPECT_EQ(Slider("bstBlu")->Value(), 204);
    EXPECT_EQ(Preview(), qRgb(170, 187, 204));

    auto* vb = Child<QLineEdit>("edtVisualBasic");
    vb->selectAll();
    QTest::keyClicks(vb, "&Hffffff");
    EXPECT_EQ(Html(), "#ffffff");
    EXPECT_EQ(Preview(), qRgb(255, 255, 255));
}

// The Name page shows the nearest name beside the colour, which stays until
// the user chooses a row.
TEST_F(AppTest, NamePageShowsTheNearestNameAndKeepsTheColour) {
    InstallData();
    TMainForm& form = Start();
    Slider("bstRed")->SetValue(250);
    Slider("bstGrn")->SetValue(10);
    Slider("bstBlu")->SetValue(240);
    const QString before = Html();
    ShowPage(TMainForm::PageName);
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0xF00AFAu);
    EXPECT_EQ(Html(), before);
    auto* list = Child<QListView>("lstName");
    const auto shown = [list] {
        const QModelIndexList rows = list->selectionModel()->selectedRows();
        return rows.isEmpty() ? QString() : rows.front().data().toString();
    };
    EXPECT_EQ(shown(), "Process magenta");

    // Another order re-reads the file and keeps the nearest name shown.
    auto* sorts = Child<QComboBox>("cboName");
    Choose(sorts, SortFile);
    EXPECT_EQ(shown(), "Process magenta");
    EXPECT_EQ(list->selectionModel()->selectedRows().front().row(), 1);
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0xF00AFAu);

    // A click on a row makes it the colour.
    const QModelIndex black = list->model()->index(3, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(black).center());
    EXPECT_EQ(dynamic_cast<const BColorName*>(form.CurrentColor())->Name(), "Process black");
    EXPECT_EQ(Html(), "#000000");
    // A key in the list moves to the next row, and its colour follows.
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 4);
    EXPECT_EQ(dynamic_cast<const BColorName*>(form.CurrentColor())->Name(),
              list->currentIndex().data().toString().toStdString());
}

TEST_F(AppTest, ChangingTheFileShowsItsNearestEntry) {
    InstallData();
    TMainForm& form = Start();
    Slider("bstRed")->SetValue(65);
    ShowPage(TMainForm::PageName);
    auto* files = Child<QComboBox>("cboFile");
    Choose(files, 1); // web.txt
    EXPECT_EQ(ColorList().size(), 148u);
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0x000041u);
    BColorName nearest("");
    nearest.FromColor(0x000041u);
    const QModelIndexList rows = Child<QListView>("lstName")->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().data().toString(), QString::fromStdString(nearest.Name()));
}

TEST_F(AppTest, ClosingSavesTheStateAndTheNextStartRestoresIt) {
    InstallData();
    TMainForm& form = Start();
    Child<QRadioButton>("rdbHlsDegreePercent")->click();
    ShowPage(TMainForm::PageHls);
    Slider("bstHue")->SetValue(120);
    Slider("bstSat")->SetValue(100);
    Slider("bstLit")->SetValue(25);
    Child<QComboBox>("cboVisual")->setCurrentIndex(2);
    form.move(60, 70);
    Close();
    EXPECT_EQ(form.CurrentColor(), nullptr);
    EXPECT_FLOAT_EQ(ReadRed(), 0.0f);
    EXPECT_FLOAT_EQ(ReadGreen(), 0.5f);
    EXPECT_EQ(ReadTab(), TMainForm::PageHls);
    int a, b, c;
    ReadHlsRange(a, b, c);
    EXPECT_EQ((std::vector<int>{a, b, c}), (std::vector<int>{360, 100, 100}));
    ReadVisualSort(a);
    EXPECT_EQ(a, 2);
    std::string file;
    ReadColorFile(file);
    EXPECT_EQ(file, "print.txt");
    // Only the preferences dialog writes these.
    const std::optional<RegDocument> store = FileRegistryStore(*SettingsFilePath()).Load();
    const RegSection* tab = store->Find("HKEY_CURRENT_USER\\Software\\VRQM\\Tintorel\\Tab");
    EXPECT_EQ(FindRegValue(*tab, "RgbVis"), nullptr);

    TMainForm& again = Start();
    EXPECT_EQ(again.ActivePage(), TMainForm::PageHls);
    EXPECT_EQ(Slider("bstHue")->MaxValue(), 360);
    EXPECT_EQ(Slider("bstHue")->Value(), 120);
    EXPECT_EQ(Slider("bstSat")->Value(), 100);
    EXPECT_TRUE(Child<QRadioButton>("rdbHlsDegreePercent")->isChecked());
    EXPECT_EQ(Html(), "#007f00"); // hue 120, lightness 25 %, full saturation
    EXPECT_EQ(Child<QComboBox>("cboVisual")->currentIndex(), 2);
}

// A stored position is kept wherever the whole window fits, the screen's
// edges included; nothing stored, or a window that would reach off the
// screen, is centred.
TEST_F(AppTest, StoredPositionIsKeptWhereTheWindowFits) {
    const QSize desktop = QGuiApplication::primaryScreen()->geometry().size();
    Start();
    const int width = PlacedSize().width();
    const struct {
        int x, y;
        bool kept;
    } cases[] = {{60, 70, true},
                 {0, 70, true},
                 {60, 0, true},
                 {0, 0, true},
                 {desktop.width() - width, 70, true},
                 {desktop.width() - width + 1, 70, false},
                 {-1, 70, false}};
    for (const auto& c : cases) {
        WriteXPos(c.x);
        WriteYPos(c.y);
        TMainForm& form = Start();
        EXPECT_EQ(form.pos(), c.kept ? QPoint(c.x, c.y) : Centred()) << c.x << "," << c.y;
    }
}

// The preferences list the language files by the names they give
// themselves; a language chosen and confirmed is stored and every window
// shows its texts at once. Cancelled, nothing changes.
TEST_F(AppTest, ALanguageChosenInThePreferencesRedrawsEveryWindow) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    const auto choose = [this](const char* language, bool confirm) {
        QTimer::singleShot(0, [this, language, confirm] {
            auto* languages = params_.findChild<QComboBox*>("cboLanguage");
            QStringList names;
            for (int i = 0; i < languages->count(); ++i) {
                names.append(languages->itemText(i));
            }
            EXPECT_EQ(names, (QStringList{"Deutsch", "English", "Français"}));
            Choose(languages, static_cast<int>(names.indexOf(QString::fromUtf8(language))));
            params_.findChild<QPushButton*>(confirm ? "btnOk" : "btnCancel")->click();
        });
        QTest::mouseClick(Child<QToolButton>("btnPref"), Qt::LeftButton);
    };
    choose("Deutsch", false);
    EXPECT_EQ(Child<QLabel>("lblRed")->text(), "&Red");
    std::string file;
    ReadLocaleFile(file);
    EXPECT_EQ(file, "english.txt");

    choose("Deutsch", true);
    ReadLocaleFile(file);
    EXPECT_EQ(file, "german.txt");
    EXPECT_EQ(Child<QLabel>("lblRed")->text(), "&Rot");
    EXPECT_EQ(params_.findChild<QPushButton*>("btnCancel")->text(), "&Abbrechen");
    EXPECT_EQ(form.size(), form.sizeHint()); // refitted to the new texts

    // A view change like any other: the colour and the page stay.
    Slider("bstGrn")->SetValue(77);
    ShowPage(TMainForm::PageName);
    const QString before = Html();
    choose("Français", true);
    EXPECT_EQ(Child<QLabel>("lblRed")->text(), "&Rouge");
    EXPECT_EQ(Html(), before);
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0x004D00u);
    EXPECT_EQ(form.ActivePage(), TMainForm::PageName);
}

TEST_F(AppTest, CancelledPreferencesChangeNothing) {
    InstallData();
    TMainForm& form = Start();
    QTimer::singleShot(0, [this] {
        params_.findChild<QCheckBox*>("chkRgb")->setChecked(false);
        params_.findChild<QRadioButton*>("rdbMuchBigger")->setChecked(true);
        params_.reject();
    });
    Press("btnPref");
    EXPECT_TRUE(Child<QTabWidget>("pagColorSpace")->isTabVisible(TMainForm::PageRgb));
    EXPECT_EQ(form.PipetteSize(), 1);
    int rgb, hls, hsv, cmy, cmyk, name, visual;
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    EXPECT_EQ(rgb, 1);
    EXPECT_FALSE(SettingExists(ParamsKey("\\Pipette"), "Size"));
}

TEST_F(AppTest, ConfirmedPreferencesAreApplied) {
    InstallData();
    TMainForm& form = Start();
    Slider("bstGrn")->SetValue(200);
    QTimer::singleShot(0, [this] {
        // First showing: the smallest size, as the pipette samples then.
        EXPECT_TRUE(params_.findChild<QRadioButton*>("rdbSmall")->isChecked());
        EXPECT_TRUE(params_.findChild<QRadioButton*>("rdbNo")->isChecked());
        params_.findChild<QCheckBox*>("chkRgb")->setChecked(false);
        params_.findChild<QCheckBox*>("chkHtml")->setChecked(false);
        params_.findChild<QRadioButton*>("rdbBigger")->setChecked(true);
        params_.findChild<QPushButton*>("btnOk")->click();
    });
    Press("btnPref");
    EXPECT_FALSE(Child<QTabWidget>("pagColorSpace")->isTabVisible(TMainForm::PageRgb));
    EXPECT_FALSE(Child<QLineEdit>("edtHtml")->isVisibleTo(&form));
    EXPECT_EQ(form.PipetteSize(), 3);
    // The RGB page was active and is hidden: the colour follows the page
    // the tab widget shows now, and keeps its value.
    EXPECT_NE(form.ActivePage(), TMainForm::PageRgb);
    EXPECT_NE(typeid(*form.CurrentColor()), typeid(BColorRgb));
    EXPECT_EQ(form.CurrentColor()->ToColor(), 0x00C800u);
}

TEST_F(AppTest, HandEditedSettingsLeaveTheWindowUsable) {
    WriteTab(9);
    WriteNameSort(42);
    WriteVisualSort(-7);
    WriteRgbRange(0, -5, 1000);
    WriteHlsRange(360, 100, 255);
    TMainForm& form = Start();
    EXPECT_EQ(form.ActivePage(), TMainForm::PageName); // as the window was laid out
    EXPECT_EQ(Child<QComboBox>("cboName")->currentIndex(), -1);
    EXPECT_EQ(Slider("bstRed")->MaxValue(), 255);
    EXPECT_EQ(Slider("bstGrn")->MaxValue(), 255);
    EXPECT_EQ(Slider("bstBlu")->MaxValue(), 1000); // a scale of its own
    // A combination of valid scales checks no button but keeps the maxima.
    EXPECT_EQ(Slider("bstLit")->MaxValue(), 100);
    EXPECT_EQ(Slider("bstSat")->MaxValue(), 255);
    for (const char* name :
         {"rdbHlsDegreeByte", "rdbHlsDegreePercent", "rdbHlsByte", "rdbHlsPercent"}) {
        EXPECT_FALSE(Child<QRadioButton>(name)->isChecked()) << name;
    }
    ShowPage(TMainForm::PageRgb);
    Slider("bstRed")->SetValue(255);
    EXPECT_EQ(Html(), "#ff0000");
}

// Every integer setting hand-edited to a boundary or absurd value, read
// through the program's own start: the window is usable, each value is
// used as the documented rule says, and the file keeps what the user wrote
// until the user changes that value.
TEST_F(AppTest, AbsurdIntegerSettingsGiveDocumentedValues) {
    const int values[] = {0, -1, INT_MAX, INT_MIN, 5, 1'000'000};
    for (const int value : values) {
        SCOPED_TRACE(value);
        SetUp();
        InstallData();
        WriteTab(value);
        WriteNameSort(value);
        WriteVisualSort(value);
        WriteXPos(value);
        WriteYPos(value);
        WriteStayOnTop(value);
        WriteTabVisibility(value, value, value, value, value, value, value);
        Write(setting::OklchVis, value);
        WriteCodeVisibility(value, value);
        WriteSize(value);
        Write(setting::Kept, value);
        const std::array<int, 4> maxima{value, value, value, value};
        for (const RangeSetting* range :
             {&setting::RgbRange, &setting::HlsRange, &setting::HsvRange, &setting::CmyRange,
              &setting::CmykRange, &setting::OklchRange}) {
            Write(*range, maxima);
        }
        TMainForm& form = Start();

        // The pipette: 3 and 7 as they are, anything else the smallest; the
        // preferences show the size that is sampled.
        EXPECT_EQ(form.PipetteSize(), 1);
        bool shownAsSmall = false;
        QTimer::singleShot(0, [&] {
            shownAsSmall = params_.findChild<QRadioButton*>("rdbSmall")->isChecked();
            params_.reject();
        });
        Press("btnPref");
        EXPECT_TRUE(shownAsSmall);

        // Pages: all hidden would leave nothing to edit, so RGB shows.
        auto* pages = Child<QTabWidget>("pagColorSpace");
        for (int page = 0; page < pages->count(); ++page) {
            EXPECT_EQ(pages->isTabVisible(page), value != 0 || page == TMainForm::PageRgb) << page;
        }
        EXPECT_TRUE(pages->currentWidget()->isVisibleTo(&form));
        // The stored numbers of the seven first pages keep their meaning;
        // 7 is the OKLCH page.
        const int storedPages[] = {TMainForm::PageRgb,  TMainForm::PageHls,  TMainForm::PageHsv,
                                   TMainForm::PageCmy,  TMainForm::PageCmyk, TMainForm::PageVisual,
                                   TMainForm::PageName, TMainForm::PageOklch};
        if (value > 0 && value < 8) {
            EXPECT_EQ(form.ActivePage(), storedPages[value]);
        }
        EXPECT_EQ(Child<QComboBox>("cboName")->currentIndex(),
                  value >= 0 && value < 8 ? value : -1);
        EXPECT_EQ(Child<QComboBox>("cboVisual")->currentIndex(),
                  value >= 0 && value < 3 ? value : -1);
        // Only 0, 0 and 5, 5 fit on the screen.
        EXPECT_EQ(form.pos(), value == 0 || value == 5 ? QPoint(value, value) : Centred());
        EXPECT_EQ(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint), value != 0);
        // Ranges: any positive maximum is a scale of its own, others the
        // default.
        EXPECT_EQ(Slider("bstRed")->MaxValue(), value > 0 ? value : 255);
        EXPECT_EQ(Slider("bstHue")->MaxValue(), value > 0 ? value : 360);
        EXPECT_EQ(Slider("bstOkChroma")->MaxValue(), value > 0 ? value : 100);
        // The kept colour: the low 24 bits of the number.
        ShowPage(TMainForm::PageOklch);
        EXPECT_EQ(Child<BContrastSample>("smpKept")->Background(),
                  QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF));

        // Usable: a code typed on the RGB page becomes the colour every
        // form shows.
        ShowPage(TMainForm::PageRgb);
        if (Child<QLineEdit>("edtHtml")->isVisibleTo(&form)) {
            auto* html = Child<QLineEdit>("edtHtml");
            html->setFocus();
            html->selectAll();
            QTest::keyClicks(html, "#123456");
            EXPECT_EQ(form.CurrentColor()->ToColor(), 0x563412u);
            EXPECT_EQ(Preview(), qRgb(0x12, 0x34, 0x56));
        }
        Close();
        // Closing writes the window's state, not the preferences: the size
        // stays as the user wrote it.
        int size = 0;
        ReadSize(size);
        EXPECT_EQ(size, value);
        TearDown();
    }
}

TEST_F(AppTest, TheLogFramesTheSession) {
    InstallData();
    Start();
    Close();
    const std::string log = ReadLog();
    EXPECT_EQ(log.rfind("-- Tintorel --\n-- Begin of session --\n", 0), 0u) << log;
    EXPECT_NE(log.find("TMainForm::OnCreate - Begin\n  TMainForm::PageControlChanged - Begin\n"
                       "  TMainForm::PageControlChanged - End\nTMainForm::OnCreate - End\n"),
              std::string::npos)
        << log;
    const std::string tail = "TMainForm::OnCloseQuery - Begin\nTMainForm::OnCloseQuery - End\n"
                             "TMainForm::OnClose - Begin\nTMainForm::OnClose - End\n"
                             "-- End of session --\n";
    EXPECT_NE(log.find(tail), std::string::npos) << log;
    EXPECT_EQ(log.substr(log.size() - 2), "\n\n");
}

TEST_F(AppTest, VisualPageFollowsTheFieldAndTheZSlider) {
    InstallData();
    TMainForm& form = Start();
    ShowPage(TMainForm::PageVisual);
    auto* z = Child<QSlider>("tkbZComponent");
    EXPECT_EQ(z->value(), 0); // black has saturation 0
    z->setValue(255);
    auto* field = Child<BColorSelector>("VisualColorSelector");
    const int row = field->height() / 2;
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(0, row));
    BColorHls hls(0, 0, 0);
    hls.FromColor(form.CurrentColor()->ToColor());
    EXPECT_NEAR(hls.Saturation(), 1.0f, 0.01f);
    EXPECT_NEAR(hls.Lightness(), static_cast<float>(row) / field->height(), 0.01f);
    EXPECT_NEAR(hls.Hue(), 0.0f, 0.5f);
    EXPECT_EQ(Html().mid(3), "0000");
}

} // namespace
} // namespace tintorel

namespace tintorel {
namespace {

// A store that cannot be written, or that holds nothing but noise: the
// program starts, runs and closes as on a first run.
TEST_F(AppTest, UnusableStoresLeaveTheProgramWorking) {
    std::ofstream(folder_ / "file") << "x";
    const std::string noise = folder_ / "noise";
    std::filesystem::create_directories(noise + "/VRQM");
    {
        std::ofstream out(noise + "/VRQM/tintorel.reg", std::ios::binary);
        std::uint32_t state = 12345;
        for (int i = 0; i < 65536; ++i) {
            state = state * 1103515245u + 12345u;
            out.put(static_cast<char>(state >> 24));
        }
    }
    for (const std::string& config : {folder_ / "file", noise}) {
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        SetSettingsStore(nullptr);
        TMainForm& form = Start();
        EXPECT_EQ(form.ActivePage(), TMainForm::PageRgb) << config;
        Slider("bstRed")->SetValue(200);
        EXPECT_EQ(Html(), "#c80000") << config;
        Close();
        EXPECT_EQ(form.CurrentColor(), nullptr);
    }
    // The noise is still there, around whatever the program wrote.
    std::ifstream in(noise + "/VRQM/tintorel.reg", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_GT(text.str().size(), 65536u);
}

} // namespace
} // namespace tintorel
