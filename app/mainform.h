// The main window: one current colour shown at once on eight pages (RGB,
// HLS, HSV, CMY, CMYK, OKLCH, Visual, Name), in a preview square and as two
// codes.
// Whatever the user edits, the other forms follow; boolean guards stop the
// echo of the program's own writes into its controls.
#pragma once

#include "colour/color.h"
#include "platform/screen/screen.h"

#include <QWidget>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
class QFrame;
class QGridLayout;
class QLayout;
class QLabel;
class QLineEdit;
class QListView;
class QPainter;
class QPushButton;
class QRadioButton;
class QShortcut;
class QSlider;
class QStringListModel;
class QStyleOptionViewItem;
class QTabWidget;
class QTimer;
class QToolButton;

namespace tintorel {

class BAnnouncer;
class BCodeEdit;
class BContrastSample;
class BColorSelector;
class BSliderNText;
class PreviewImage;
struct ByteRgb;
struct SliderPageEntry;
class TAboutBox;
class TParamForm;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // Pages of pagColorSpace, in tab order. The stored "Tab" numbers them
    // as they were before the OKLCH page came (see StoredTab).
    enum Page { PageRgb, PageHls, PageHsv, PageCmy, PageCmyk, PageOklch, PageVisual, PageName };

    // The number "Tab" keeps for a page, and the page of a stored number
    // (-1 for a number that names none): 5 and 6 stay the Visual and Name
    // pages that older files mean by them; the OKLCH page is 7.
    static int StoredTab(int page);
    static int PageOfStoredTab(int stored);

    // Builds the window, opens the session log and runs the creation
    // sequence. `screen` is what the pipette reads; `startNotes` are lines
    // for the log from before it was opened (which fallbacks the start took).
    explicit TMainForm(std::unique_ptr<ScreenReader> screen,
                       const std::vector<std::string>& startNotes = {});
    ~TMainForm() override;

    // Where the dialogs come from when they are first needed.
    void SetAboutBox(std::function<TAboutBox*()> source) { aboutBox_ = std::move(source); }
    void SetParamForm(std::function<TParamForm*()> source) { paramForm_ = std::move(source); }

    const BColor* CurrentColor() const { return currentColor_.get(); }
    int ActivePage() const;
    int PipetteSize() const { return pipetteSize_; }
    bool PipetteRunning() const;

    // Closes the window as the user would, saving the state, but without the
    // about box: the desktop session is ending (SIGTERM, SIGINT, SIGHUP).
    void EndSession();

    // The height of one row of the name list: the design's 15 pixels, or
    // more where the font needs it.
    int NameRowHeight() const;

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Draws the name list's rows through the window.
    class NameRowDelegate;

    // Current colour and panels.
    void UpdatePanel();
    void ReadPanel();
    void UpdatePreview();
    void ApplyRanges();
    void SaveRanges();
    // Codes: the web code and the Visual Basic code, two of one kind.
    void UpdateHtmlCode() { UpdateCode(html_); }
    void UpdateVisualBasicCode() { UpdateCode(visualBasic_); }
    void ParseHtmlCode() { ParseCode(html_); }
    void ParseVisualBasicCode() { ParseCode(visualBasic_); }
    // Name panel.
    void FillColorFileList();
    void LoadSelectedColorFile();
    void RefreshNameList();
    void SelectCurrentName();
    void LstNameDrawItem(QPainter& painter, int row, const QRect& rect,
                         const QStyleOptionViewItem& option);
    // The whole name of a row whose text is cut short in `rect`, else "".
    QString NameRowTip(int row, const QRect& rect, const QFont& font) const;
    // Settings applied at creation and after the preferences.
    void ApplyPreferences();
    void ApplyVisibility();
    void ApplyStayOnTop();
    void ApplySortChoices();
    void ApplyPipetteSize();
    void ArrangeButtons();
    void ApplyMainTexts();
    // Pipette.
    bool SamplePipette();
    bool SampleSquare(const ScreenGrab& grab, const QRect& square);
    void DrawMagnifier(const ScreenGrab& grab, const QRect& shown, const QRect& destination);

    // Handlers.
    void OnCreate();
    void OnCloseQuery();
    void OnClose();
    void btnPrefClick();
    void btnCaptureClick();
    void WindowDeactivate();
    // A tick of the pipette's clock: a new picture of the screen, sampled.
    void PipetteTick();
    void TimerCalled();
    void PageControlChanged();
    void ColorSelectorChanged();
    void ZComponentChanged();
    void VisualSortChanged();
    void HtmlChanged() { CodeChanged(html_); }
    void VisualBasicChanged() { CodeChanged(visualBasic_); }
    void cboFileChange();
    void CboNameChanged();
    // A slider page's edit (RgbChanged, HlsChanged, HsvChanged, CmyChanged,
    // CmykChanged all do this), and a range radio button's click (the
    // rdb...Click handlers): `mode` is the button's place in its page's row
    // of the slider page table.
    void PanelEdit();
    void RangeClick(int page, int mode);

    // A code field: its edit, its guard (HtmlSyncEnabled for the web code,
    // VisualBasicSyncEnabled for the Visual Basic one; open while true),
    // its text form and its reader.
    struct CodeField {
        BCodeEdit* edit = nullptr;
        bool syncEnabled = false;
        std::string (*format)(float red, float green, float blue) = nullptr;
        bool (*parse)(const std::string& text, ByteRgb& read) = nullptr;
    };
    // Writes the current colour into the field.
    void UpdateCode(CodeField& field);
    // Reads the field into the current colour, then shows it.
    void ParseCode(CodeField& field);
    // The user typed into `field`: the colour, and every other form, follow.
    void CodeChanged(CodeField& field);
    // A code field's menu (its edit menu, and the current colour to copy in
    // each notation), at `at` in the field.
    void ShowCodeMenu(BCodeEdit* edit, const QPoint& at);

    // A slider page as built from its row of the slider page table.
    struct SliderPageWidgets {
        const SliderPageEntry* entry = nullptr;
        QWidget* tab = nullptr;
        std::vector<QLabel*> labels;
        std::vector<BSliderNText*> sliders;
        std::vector<QRadioButton*> modes;
    };

    // Where a control shows its text from the language file: the window's
    // title, a label's or button's caption, a page's tab, a hint (also the
    // name a screen reader says), an item of a list, the hint a code field
    // gives for a text it refused; or a text the window holds to put
    // together when shown.
    enum class TextRole { Title, Caption, Tab, Hint, Item, Refused, Held };
    struct WindowText {
        const char* key = nullptr;
        TextRole role = TextRole::Caption;
        QWidget* control = nullptr;
        int item = 0;
        QString* held = nullptr;
    };
    // The builders note which key gives a control its text as they make it.
    template <class Control> Control* Shows(const char* key, TextRole role, Control* control) {
        texts_.push_back({key, role, control});
        return control;
    }
    void Holds(const char* key, QString& held) {
        texts_.push_back({key, TextRole::Held, nullptr, 0, &held});
    }
    // A drop-down list's items, one for each key, in order.
    void AddItems(QComboBox* list, std::initializer_list<const char*> keys);

    void BuildLayout();
    void BuildSliderPage(const SliderPageEntry& entry);
    // The OKLCH page's rows below its sliders: the mark of a colour brought
    // into sRGB, and the contrast of the colour shown with white, with
    // black and with the kept colour.
    void BuildOklchRows(QWidget* tab, QGridLayout* grid, int& row);
    // The OKLCH page's tracks (which values of each slider stay inside
    // sRGB, the other two as they are), its mark and its contrast rows.
    // Only while the page shows.
    void UpdateOklchPage();
    // The colour the contrast is also measured against.
    void KeepColour(PackedColor colour);
    QWidget* BuildVisualPage();
    QWidget* BuildNamePage();
    QLayout* BuildSideColumn();
    // Sizes that follow the font and the style: the code fields' width, the
    // glyphs, the name list's rows. Run again when either changes.
    void FitToStyle();
    // Accessible names from the captions shown beside each control.
    void NameControls();
    void NameVisualControls();
    void SettleLayout();
    void ConnectEvents();
    const SliderPageWidgets* ActiveSliderPage() const;
    void SetActivePage(int index);
    void StepPage(int step);
    void StopPipette();
    bool PointerOverOwnWindow() const;
    // What the desktop lets the pipette do: the button is disabled, with
    // the reason as its tooltip, where the screen cannot be read at all.
    void ConnectScreen();
    void UpdateCaptureButton();
    void ApplyPickedColour(std::uint32_t colour);
    // The pipette failed (the log says why), or worked again (empty).
    void PipetteTrouble(const std::string& reason);
    // The colour of red, green and blue in the class the page shows it in
    // (RGB for the Name page, which shows the nearest name beside it).
    std::unique_ptr<BColor> ColourForPage(int page, float red, float green, float blue) const;
    std::unique_ptr<BColor> ColourForPage(int page, PackedColor packed) const;
    // Where a row of the name list draws its text, right of its swatch.
    QRect NameTextRect(const QRect& row) const;

    // Where an edit came from: the view the user is typing or moving in
    // keeps what it shows.
    enum class Edited { Nothing, Panel, Html, VisualBasic };
    // The one way the current colour changes: `colour` becomes it, and
    // every view shows it but `edited`. Views never write the colour; only
    // an edit by the user (or the pipette the user started) comes here.
    void ShowColour(std::unique_ptr<BColor> colour, Edited edited);
    // Every view but `edited` shows the current colour.
    void ShowCurrentColour(Edited edited);
    // What a screen reader says of the current colour: its web code and
    // the nearest name of the list.
    QString ColourSpoken() const;
    // A row of the name list the user chose (a click, the keys, Enter,
    // type-ahead) becomes the colour.
    void NameChosen();

    // Components, named as the window's design names them. The slider
    // pages' labels, sliders and radio buttons are in sliderPages_.
    QToolButton* btnCapture = nullptr;
    QTabWidget* pagColorSpace = nullptr;
    QWidget *tabVisual = nullptr, *tabName = nullptr;
    QLabel* lblXAndY = nullptr;
    QComboBox* cboVisual = nullptr;
    BColorSelector* VisualColorSelector = nullptr;
    QLabel *lblZHue = nullptr, *lblZLight = nullptr, *lblZSat = nullptr;
    QSlider* tkbZComponent = nullptr;
    QLabel *lblFile = nullptr, *lblSort = nullptr, *lblColorList = nullptr;
    QComboBox* cboFile = nullptr;
    QComboBox* cboName = nullptr;
    QListView* lstName = nullptr;
    QStringListModel* lstNameRows = nullptr;
    QToolButton* btnPref = nullptr;
    QFrame* pnlBevel = nullptr;
    PreviewImage* pnlImage = nullptr;
    BCodeEdit* edtHtml = nullptr;
    BCodeEdit* edtVisualBasic = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* timTimer = nullptr;
    // Escape stops a running pipette, as its button does.
    QShortcut* escapeStopsPipette_ = nullptr;
    std::vector<SliderPageWidgets> sliderPages_;
    // The OKLCH page's own parts.
    QLabel* lblOkMapped = nullptr;
    QLabel* lblContrast = nullptr;
    QPushButton* btnKeep = nullptr;
    struct ContrastRow {
        BContrastSample* sample = nullptr;
        QLabel* caption = nullptr;
        QLabel* ratio = nullptr;
        QLabel* normal = nullptr;
        QLabel* large = nullptr;
    };
    std::array<ContrastRow, 3> contrast_{}; // white, black, kept
    QLabel *lblContrastNormal = nullptr, *lblContrastLarge = nullptr;
    PackedColor kept_ = 0xFFFFFF;
    // Texts of the OKLCH page that are put together when shown: what a
    // slider's values inside sRGB are, a level not reached, a contrast
    // row as a screen reader says it.
    QString insideSrgb_, nowhereInSrgb_, valueRange_, fails_, contrastSpoken_;
    // Every text of the window from the language file, as the builders
    // noted it.
    std::vector<WindowText> texts_;
    // The pipette button's hint from the language file.
    QString pipetteHint_;
    // What the web code field notes of a style sheet's colour it shows
    // without its alpha, or brought into sRGB; the copy menu's caption.
    QString alphaNote_, mappedNote_, copyAs_;
    // The desktop's one-shot picks asked for; only the last one's answer
    // counts.
    int picks_ = 0;
    // Whether the pipette button's hint says why the pipette last failed.
    bool troubleShown_ = false;

    std::unique_ptr<BColor> currentColor_;
    int pipetteSize_ = 0;
    bool PanelSyncEnabled = false;
    CodeField html_;
    CodeField visualBasic_;
    bool RangeClicksEnabled = false;
    bool endingSession_ = false;
    bool iconsLoaded_ = false;
    // True while the program itself changes the active page.
    bool pageChangeByProgram_ = false;
    // Says the colour and the page where the focused control does not.
    BAnnouncer* announcer_ = nullptr;
    // True while the program itself selects the name nearest the colour.
    bool nameSelectionByProgram_ = false;

    std::unique_ptr<ScreenReader> screen_;
    std::function<TAboutBox*()> aboutBox_;
    std::function<TParamForm*()> paramForm_;
};

} // namespace tintorel
