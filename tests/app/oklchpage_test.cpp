// The OKLCH page as a user meets it: the colour typed as a code shows on
// its sliders in both scales and comes back unchanged; a slider taken
// beyond sRGB shows the nearest colour and says so; each track shows which
// of its values stay inside sRGB, painted and told; the contrast rows read
// as WCAG measures them, against a colour the user keeps across sessions.
#include "apptest.h"

#include "controls/contrastsample.h"
#include "controls/sliderntext.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace tintorel {
namespace {

class OklchPageTest : public AppTest {
protected:
    void TypeCode(const QString& code) {
        auto* html = Child<QLineEdit>("edtHtml");
        html->setFocus();
        html->selectAll();
        QTest::keyClicks(html, code);
    }
    std::array<int, 3> Shown() const {
        return {Slider("bstOkLightness")->Value(), Slider("bstOkChroma")->Value(),
                Slider("bstOkHue")->Value()};
    }
    void TypeNumber(const char* slider, const QString& number) {
        QLineEdit* edit = Slider(slider)->Editor();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, number);
    }
    QString Text(const char* label) const { return Child<QLabel>(label)->text(); }
};

// Published OKLCH values of the primaries, white and a grey, shown in
// percent and in thousandths; a visit to the page leaves the code as it was.
TEST_F(OklchPageTest, ShowsTheColourInBothScalesAndGivesItBackUnchanged) {
    InstallData();
    TMainForm& form = Start();
    const struct {
        const char* code;
        std::array<int, 3> percent;
        std::array<int, 3> thousandths;
    } cases[] = {
        {"#ff0000", {63, 64, 29}, {628, 258, 29}},   // oklch(62.80% 0.2577 29.23)
        {"#00ff00", {87, 74, 142}, {866, 295, 142}}, // oklch(86.64% 0.2948 142.50)
        {"#0000ff", {45, 78, 264}, {452, 313, 264}}, // oklch(45.20% 0.3132 264.05)
        {"#ffffff", {100, 0, 0}, {1000, 0, 0}},
        {"#808080", {60, 0, 0}, {600, 0, 0}}, // a grey has no hue
        {"#000000", {0, 0, 0}, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        ShowPage(TMainForm::PageRgb);
        TypeCode(c.code);
        ShowPage(TMainForm::PageOklch);
        QTest::mouseClick(Child<QRadioButton>("rdbOklchPercent"), Qt::LeftButton);
        EXPECT_EQ(Shown(), c.percent);
        QTest::mouseClick(Child<QRadioButton>("rdbOklchThousandths"), Qt::LeftButton);
        EXPECT_EQ(Shown(), c.thousandths);
        EXPECT_EQ(Html(), c.code);
        EXPECT_FALSE(Child<QLabel>("lblOkMapped")->isVisibleTo(&form));
        ShowPage(TMainForm::PageRgb);
        EXPECT_EQ(Html(), c.code);
    }
    // The page and its scale are kept: "Tab" 7 names the page.
    ShowPage(TMainForm::PageOklch);
    Close();
    EXPECT_EQ(ReadTab(), 7);
    EXPECT_EQ(Read(setting::OklchRange), (std::vector<int>{1000, 400, 360}));
    Start();
    EXPECT_EQ(form_->ActivePage(), TMainForm::PageOklch);
    EXPECT_TRUE(Child<QRadioButton>("rdbOklchThousandths")->isChecked());
}

// More chroma than sRGB has: the screen shows the nearest colour of that
// lightness and hue, the page says so, and the slider keeps what was typed.
TEST_F(OklchPageTest, AColourBeyondSrgbIsShownMappedAndMarked) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    TypeCode("#ff0000");
    ShowPage(TMainForm::PageOklch);
    auto* mark = Child<QLabel>("lblOkMapped");
    const QSize before = form.size();
    TypeNumber("bstOkChroma", "90");
    EXPECT_TRUE(mark->isVisibleTo(&form));
    EXPECT_EQ(Slider("bstOkChroma")->Value(), 90);
    // Red is sRGB's own edge: more chroma at its lightness and hue maps to
    // a red a little lighter than pure red's neighbours, never outside.
    const QColor shown(Html());
    EXPECT_TRUE(shown.isValid()) << Html().toStdString();
    EXPECT_GT(shown.red(), 200);
    EXPECT_LT(shown.blue(), 60);
    EXPECT_EQ(Preview(), shown.rgb());
    // The mark keeps its place: the window does not change its size.
    EXPECT_EQ(form.size(), before);
    TypeNumber("bstOkChroma", "50");
    EXPECT_FALSE(mark->isVisibleTo(&form));
}

// The tracks of blue, a corner of sRGB: lightness and hue inside only at
// its own, chroma inside up to 67 % and at its own; the strip's pixels are the colours,
// painted, and the slider tells a screen reader the same runs.
TEST_F(OklchPageTest, TracksShowWhatStaysInsideSrgb) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    TypeCode("#0000ff");
    ShowPage(TMainForm::PageOklch);
    QApplication::processEvents();
    BTrackBar* chroma = Slider("bstOkChroma")->Slider();
    const QImage strip = chroma->Track();
    ASSERT_EQ(strip.width(), 101);
    // No chroma: the grey of blue's lightness; all the chroma the page
    // offers: beyond sRGB.
    const QColor grey = strip.pixelColor(0, 0);
    EXPECT_EQ(grey.alpha(), 255);
    EXPECT_EQ(grey.red(), grey.green());
    EXPECT_EQ(grey.green(), grey.blue());
    EXPECT_EQ(strip.pixelColor(100, 0).alpha(), 0);
    EXPECT_EQ(strip.pixelColor(78, 0).rgb(), qRgb(0, 0, 255));
    // OKLCH's line of constant hue bends at blue: from 68 % to 77 % of
    // the chroma, the colours of blue's lightness and hue need a little
    // negative red (more than half a byte); blue itself, at the slider's
    // position, is inside. Lightness and hue are blue's alone.
    EXPECT_EQ(Slider("bstOkChroma")->Editor()->accessibleDescription(),
              "Inside sRGB: 0 to 67, 78 to 78");
    EXPECT_EQ(strip.pixelColor(70, 0).alpha(), 0);
    EXPECT_EQ(Slider("bstOkLightness")->Editor()->accessibleDescription(), "Inside sRGB: 45 to 45");
    EXPECT_EQ(Slider("bstOkHue")->Editor()->accessibleDescription(), "Inside sRGB: 264 to 264");

    // Painted: the strip's grey at the start of the track, the hatching
    // (lines in the window's text colour) at its end.
    const QImage painted = chroma->grab().toImage();
    const int y = painted.height() / 2;
    const auto column = [&](int x) {
        QSet<QRgb> colours;
        for (int dy = -1; dy <= 1; ++dy) {
            colours.insert(painted.pixel(x, y + dy) | 0xFF000000u);
        }
        return colours;
    };
    EXPECT_TRUE(column(3).contains(grey.rgb())) << "start of the track";
    const QRgb line = chroma->palette().color(QPalette::WindowText).rgb();
    bool hatched = false;
    for (int x = painted.width() - 12; x < painted.width() - 4; ++x) {
        hatched = hatched || column(x).contains(line);
    }
    EXPECT_TRUE(hatched) << "end of the track";
    // A colour with chroma the page cannot show anywhere on a track.
    TypeNumber("bstOkChroma", "100");
    EXPECT_EQ(Slider("bstOkHue")->Slider()->accessibleDescription(), "Nowhere inside sRGB");
    // Back to the style's own groove on no other page: the RGB sliders
    // have no strip.
    EXPECT_TRUE(Slider("bstRed")->Slider()->Track().isNull());
}

// WCAG's ratios of the colour shown against white, black and the kept
// colour; Keep and the pipette's start keep a colour, and the kept colour
// outlives the session.
TEST_F(OklchPageTest, ContrastRowsReadAsWcagMeasures) {
    InstallData();
    TMainForm& form = Start();
    form.show();
    ShowPage(TMainForm::PageOklch);
    TypeCode("#777777");
    const struct {
        const char* row;
        const char* ratio;
        const char* normal;
        const char* large;
    } rows[] = {
        {"White", "4.48:1", "Fails", "AA"},
        {"Black", "4.69:1", "AA", "AAA"},
        {"Kept", "4.48:1", "Fails", "AA"}, // white until a colour is kept
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        const QByteArray name(r.row);
        EXPECT_EQ(Text("lbl" + name + "Ratio"), r.ratio);
        EXPECT_EQ(Text("lbl" + name + "Normal"), r.normal);
        EXPECT_EQ(Text("lbl" + name + "Large"), r.large);
    }
    auto* white = Child<BContrastSample>("smpWhite");
    EXPECT_EQ(white->accessibleName(),
              "On white: contrast 4.48 to 1, normal text Fails, large text AA");
    // The sample paints the colour on its background.
    const QImage sample = white->grab().toImage();
    EXPECT_EQ(sample.pixel(3, 3), qRgb(255, 255, 255));
    bool textShown = false;
    for (int x = 0; x < sample.width(); ++x) {
        for (int y = 0; y < sample.height(); ++y) {
            textShown = textShown || sample.pixel(x, y) == qRgb(0x77, 0x77, 0x77);
        }
    }
    EXPECT_TRUE(textShown);

    QTest::mouseClick(Child<QPushButton>("btnKeep"), Qt::LeftButton);
    EXPECT_EQ(Text("lblKeptRatio"), "1.00:1");
    EXPECT_EQ(Child<BContrastSample>("smpKept")->Background(), QColor(0x77, 0x77, 0x77));
    TypeCode("#ffffff");
    EXPECT_EQ(Text("lblKeptRatio"), "4.48:1");
    EXPECT_EQ(Child<BContrastSample>("smpKept")->accessibleName(),
              "On kept #777777: contrast 4.48 to 1, normal text Fails, large text AA");
    // The pipette measures its pick against the colour it started from.
    TypeCode("#202020");
    Press("btnCapture");
    Press("btnCapture");
    EXPECT_EQ(Child<BContrastSample>("smpKept")->Background(), QColor(0x20, 0x20, 0x20));
    Close();
    EXPECT_EQ(ReadKept(), 0x202020u);
    Start();
    ShowPage(TMainForm::PageOklch);
    EXPECT_EQ(Child<BContrastSample>("smpKept")->Background(), QColor(0x20, 0x20, 0x20));
}

// The preferences hide the page as any other, and show it again.
TEST_F(OklchPageTest, ThePreferencesHideAndShowThePage) {
    InstallData();
    Start();
    auto* tabs = Child<QTabWidget>("pagColorSpace");
    EXPECT_TRUE(tabs->isTabVisible(TMainForm::PageOklch));
    for (const bool shown : {false, true}) {
        QTimer::singleShot(0, [this] {
            params_.findChild<QCheckBox*>("chkOklch")->click();
            params_.findChild<QPushButton*>("btnOk")->click();
        });
        Press("btnPref");
        EXPECT_EQ(tabs->isTabVisible(TMainForm::PageOklch), shown);
        EXPECT_EQ(Read(setting::OklchVis), shown ? 1 : 0);
        // The pages around it keep their places.
        EXPECT_TRUE(tabs->isTabVisible(TMainForm::PageVisual));
        EXPECT_TRUE(tabs->isTabVisible(TMainForm::PageCmyk));
    }
}

} // namespace
} // namespace tintorel
