// The main window's layout and lifecycle: construction, the creation
// sequence, the preferences button, saving on close and the end of the
// session.
#include "app/mainform.h"

#include "app/aboutbox.h"
#include "app/placement.h"
#include "app/previewimage.h"
#include "colourlist/colorname.h"
#include "controls/colorselector.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "log/log.h"
#include "platform/logfolder.h"
#include "settings/paramform.h"
#include "settings/params.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QStringListModel>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace tintorel {

namespace {

constexpr int kNameRowHeight = 15;

// Draws each row of the name list through the main window, 15 pixels high.
class NameRowDelegate : public QStyledItemDelegate {
public:
    NameRowDelegate(TMainForm* form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        form_->LstNameDrawItem(*painter, index.row(), option.rect, option);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {185, kNameRowHeight};
    }

private:
    TMainForm* form_;
};

// Tabs with less padding than the desktop style gives them. A proxy of the
// application's style, not a style sheet, which would cost start-up time.
class CompactTabStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_TabBarTabHSpace) {
            return 10;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// The pipette's glyph, drawn when the icon theme has none.
QIcon PipetteGlyph() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4.5, 15.5), QPointF(12, 8));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(QPointF(14.5, 5.5), 3.5, 3.5);
    p.setBrush(QColor(30, 110, 220));
    p.drawEllipse(QPointF(3.5, 16.5), 2, 2);
    return QIcon(pixmap);
}

// The preferences glyph: a cog, drawn when the icon theme has none.
QIcon PreferencesGlyph() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(10, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 70, 70));
    for (int i = 0; i < 8; ++i) {
        p.drawRect(QRectF(-1.6, -8.5, 3.2, 4));
        p.rotate(45);
    }
    p.drawEllipse(QPointF(0, 0), 6, 6);
    p.setBrush(QColor(235, 235, 235));
    p.drawEllipse(QPointF(0, 0), 2.5, 2.5);
    return QIcon(pixmap);
}

QLabel* MakeLabel(QWidget* parent, const char* name, int x, int y) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->move(x, y);
    return label;
}

BSliderNText* MakeSlider(QWidget* parent, const char* name, int y, int max) {
    auto* slider = new BSliderNText(parent);
    slider->setObjectName(name);
    slider->setGeometry(96, y, 209, 22);
    slider->SetTextWidth(20);
    slider->SetMaxValue(max);
    return slider;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name, int x, int y) {
    auto* radio = new QRadioButton(parent);
    radio->setObjectName(name);
    radio->setGeometry(x, y, 113, 17);
    return radio;
}

} // namespace

TMainForm::TMainForm(std::unique_ptr<ScreenReader> screen)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      screen_(std::move(screen)) {
    BuildLayout();
    BuildRangePanels();
    ConnectEvents();
    ConnectScreen();
    // The session log, before the creation sequence.
    if (const std::optional<std::string> folder = LogFolder()) {
        CreateLog(*folder, "tintorel.log", true);
    }
    LogLine("-- Tintorel --");
    LogLine("-- Begin of session --");
    LogTime();
    OnCreate();
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildLayout() {
    setObjectName("MainForm");
    setWindowTitle("Tintorel");
    setFont(WindowFont());
    setFixedSize(405, 213);
    move(301, 340);

    btnCapture = new QToolButton(this);
    btnCapture->setObjectName("btnCapture");
    btnCapture->setGeometry(336, 8, 28, 28);
    btnCapture->setCheckable(true);
    btnCapture->setAutoRaise(true);
    btnCapture->setIcon(PipetteGlyph());

    pagColorSpace = new QTabWidget(this);
    pagColorSpace->setObjectName("pagColorSpace");
    pagColorSpace->setGeometry(0, 0, 321, 177);
    // Seven tabs share 321 pixels: keep their padding tight so that every
    // tab shows without scroll buttons.
    pagColorSpace->setUsesScrollButtons(false);
    auto* compact = new CompactTabStyle;
    compact->setParent(pagColorSpace->tabBar());
    pagColorSpace->tabBar()->setStyle(compact);
    const auto sheet = [this](const char* name, const char* caption) {
        auto* page = new QWidget;
        page->setObjectName(name);
        pagColorSpace->addTab(page, caption);
        return page;
    };
    tabRgb = sheet("tabRgb", "RGB");
    tabHls = sheet("tabHls", "HLS");
    tabHsv = sheet("tabHsv", "HSV");
    tabCmy = sheet("tabCmy", "CMY");
    tabCmyk = sheet("tabCmyk", "CMYK");
    tabVisual = sheet("tabVisual", "Visual");
    tabName = sheet("tabName", "Name");

    lblRed = MakeLabel(tabRgb, "lblRed", 8, 10);
    lblGrn = MakeLabel(tabRgb, "lblGrn", 8, 42);
    lblBlu = MakeLabel(tabRgb, "lblBlu", 8, 74);
    bstRed = MakeSlider(tabRgb, "bstRed", 8, 255);
    bstGrn = MakeSlider(tabRgb, "bstGrn", 40, 255);
    bstBlu = MakeSlider(tabRgb, "bstBlu", 72, 255);
    rdbRgbByte = MakeRadio(tabRgb, "rdbRgbByte", 56, 128);
    rdbRgbPercent = MakeRadio(tabRgb, "rdbRgbPercent", 176, 128);

    lblHue = MakeLabel(tabHls, "lblHue", 8, 10);
    lblLit = MakeLabel(tabHls, "lblLit", 8, 42);
    lblSat = MakeLabel(tabHls, "lblSat", 8, 74);
    bstHue = MakeSlider(tabHls, "bstHue", 8, 360);
    bstLit = MakeSlider(tabHls, "bstLit", 40, 255);
    bstSat = MakeSlider(tabHls, "bstSat", 72, 255);
    rdbHlsDegreeByte = MakeRadio(tabHls, "rdbHlsDegreeByte", 56, 104);
    rdbHlsDegreePercent = MakeRadio(tabHls, "rdbHlsDegreePercent", 176, 104);
    rdbHlsByte = MakeRadio(tabHls, "rdbHlsByte", 56, 128);
    rdbHlsPercent = MakeRadio(tabHls, "rdbHlsPercent", 176, 128);

    lblHue2 = MakeLabel(tabHsv, "lblHue2", 8, 10);
    lblSat2 = MakeLabel(tabHsv, "lblSat2", 8, 42);
    lblVal2 = MakeLabel(tabHsv, "lblVal2", 8, 74);
    bstHue2 = MakeSlider(tabHsv, "bstHue2", 8, 360);
    bstSat2 = MakeSlider(tabHsv, "bstSat2", 40, 255);
    bstVal2 = MakeSlider(tabHsv, "bstVal2", 72, 255);
    rdbHsvDegreeByte = MakeRadio(tabHsv, "rdbHsvDegreeByte", 56, 104);
    rdbHsvDegreePercent = MakeRadio(tabHsv, "rdbHsvDegreePercent", 176, 104);
    rdbHsvByte = MakeRadio(tabHsv, "rdbHsvByte", 56, 128);
    rdbHsvPercent = MakeRadio(tabHsv, "rdbHsvPercent", 176, 128);

    lblCya = MakeLabel(tabCmy, "lblCya", 8, 10);
    lblMag = MakeLabel(tabCmy, "lblMag", 8, 42);
    lblYel = MakeLabel(tabCmy, "lblYel", 8, 74);
    bstCya = MakeSlider(tabCmy, "bstCya", 8, 255);
    bstMag = MakeSlider(tabCmy, "bstMag", 40, 255);
    bstYel = MakeSlider(tabCmy, "bstYel", 72, 255);
    rdbCmyByte = MakeRadio(tabCmy, "rdbCmyByte", 56, 128);
    rdbCmyPercent = MakeRadio(tabCmy, "rdbCmyPercent", 176, 128);

    lblCya2 = MakeLabel(tabCmyk, "lblCya2", 8, 10);
    lblMag2 = MakeLabel(tabCmyk, "lblMag2", 8, 42);
    lblYel2 = MakeLabel(tabCmyk, "lblYel2", 8, 74);
    lblBlk2 = MakeLabel(tabCmyk, "lblBlk2", 8, 106);
    bstCya2 = MakeSlider(tabCmyk, "bstCya2", 8, 255);
    bstMag2 = MakeSlider(tabCmyk, "bstMag2", 40, 255);
    bstYel2 = MakeSlider(tabCmyk, "bstYel2", 72, 255);
    bstBlk2 = MakeSlider(tabCmyk, "bstBlk2", 104, 255);
    // The fourth slider row ends at 126: a few pixels lower, the radio
    // buttons no longer touch it.
    rdbCmykByte = MakeRadio(tabCmyk, "rdbCmykByte", 56, 131);
    rdbCmykPercent = MakeRadio(tabCmyk, "rdbCmykPercent", 176, 131);

    lblXAndY = MakeLabel(tabVisual, "lblXAndY", 8, 12);
    cboVisual = new QComboBox(tabVisual);
    cboVisual->setObjectName("cboVisual");
    cboVisual->setGeometry(120, 8, 185, 21);
    cboVisual->addItems({"Hue/Lightness", "Hue/Saturation", "Lightness/Saturation"});
    VisualColorSelector = new BColorSelector(tabVisual);
    VisualColorSelector->setObjectName("VisualColorSelector");
    VisualColorSelector->setGeometry(120, 32, 185, 81);
    // The field draws its plane only while its page shows (see the page
    // change below): a colour change on another page, or a pipette tick,
    // then costs no rebuild of the plane, and neither does setting it up.
    VisualColorSelector->SetAutoUpdate(false);
    VisualColorSelector->SetSpace(HLS);
    VisualColorSelector->SetYComponent(Component2);
    VisualColorSelector->SetXOrientation(true);
    VisualColorSelector->SetYOrientation(true);
    VisualColorSelector->SetNbDivX(64);
    VisualColorSelector->SetNbDivY(64);
    lblZHue = MakeLabel(tabVisual, "lblZHue", 8, 122);
    lblZLight = MakeLabel(tabVisual, "lblZLight", 8, 122);
    lblZSat = MakeLabel(tabVisual, "lblZSat", 8, 122);
    tkbZComponent = new QSlider(Qt::Horizontal, tabVisual);
    tkbZComponent->setObjectName("tkbZComponent");
    tkbZComponent->setGeometry(112, 120, 201, 25);
    tkbZComponent->setRange(0, 255);
    tkbZComponent->setPageStep(16);
    tkbZComponent->setTickPosition(QSlider::NoTicks);

    lblFile = MakeLabel(tabName, "lblFile", 8, 12);
    lblSort = MakeLabel(tabName, "lblSort", 8, 40);
    lblColorList = MakeLabel(tabName, "lblColorList", 8, 64);
    cboFile = new QComboBox(tabName);
    cboFile->setObjectName("cboFile");
    cboFile->setGeometry(120, 8, 185, 21);
    cboName = new QComboBox(tabName);
    cboName->setObjectName("cboName");
    cboName->setGeometry(120, 36, 185, 21);
    cboName->addItems({"Alphabetical order", "File order", "By growing hue", "By growing lightness",
                       "By growing saturation", "By growing red", "By growing green",
                       "By growing blue"});
    lstName = new QListView(tabName);
    lstName->setObjectName("lstName");
    // Whole rows only: the list is as high as its frame and the rows that
    // fit in the design's 79 pixels, so no row is ever shown cut, whichever
    // row the list is scrolled to.
    const int frame = 2 * lstName->frameWidth();
    lstName->setGeometry(120, 64, 185, (79 - frame) / kNameRowHeight * kNameRowHeight + frame);
    lstName->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    lstNameRows = new QStringListModel(lstName);
    lstName->setModel(lstNameRows);
    lstName->setItemDelegate(new NameRowDelegate(this, lstName));
    lstName->setUniformItemSizes(true);
    lstName->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstName->setSelectionMode(QAbstractItemView::SingleSelection);
    lstName->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstName->installEventFilter(this);
    lstName->viewport()->installEventFilter(this);
    setTabOrder(cboName, lstName);
    setTabOrder(lstName, cboFile);

    // An ampersand in a label's text marks its accelerator (Alt and the
    // letter), which takes the focus to the control the label names.
    // A slider row's accelerator goes to its slider: Qt's labels give the
    // focus only to a buddy that takes it, and the row's frame takes none.
    const std::pair<QLabel*, QWidget*> buddies[] = {
        {lblRed, bstRed->Slider()},   {lblGrn, bstGrn->Slider()},   {lblBlu, bstBlu->Slider()},
        {lblHue, bstHue->Slider()},   {lblLit, bstLit->Slider()},   {lblSat, bstSat->Slider()},
        {lblHue2, bstHue2->Slider()}, {lblSat2, bstSat2->Slider()}, {lblVal2, bstVal2->Slider()},
        {lblCya, bstCya->Slider()},   {lblMag, bstMag->Slider()},   {lblYel, bstYel->Slider()},
        {lblCya2, bstCya2->Slider()}, {lblMag2, bstMag2->Slider()}, {lblYel2, bstYel2->Slider()},
        {lblBlk2, bstBlk2->Slider()}, {lblXAndY, cboVisual},        {lblZHue, tkbZComponent},
        {lblZLight, tkbZComponent},   {lblZSat, tkbZComponent},     {lblFile, cboFile},
        {lblSort, cboName},           {lblColorList, lstName},
    };
    for (const auto& [label, buddy] : buddies) {
        label->setBuddy(buddy);
    }

    // The window design shows the Name sheet when first laid out.
    pageChangeByProgram_ = true;
    pagColorSpace->setCurrentIndex(PageName);
    pageChangeByProgram_ = false;

    btnPref = new QToolButton(this);
    btnPref->setObjectName("btnPref");
    btnPref->setGeometry(368, 8, 28, 28);
    btnPref->setAutoRaise(true);
    btnPref->setIcon(PreferencesGlyph());
    pnlBevel = new QFrame(this);
    pnlBevel->setObjectName("pnlBevel");
    pnlBevel->setGeometry(328, 48, 73, 72);
    pnlBevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlImage = new PreviewImage(pnlBevel, QRect(2, 2, 69, 69));
    pnlImage->setObjectName("pnlImage");

    edtHtml = new QLineEdit(this);
    edtHtml->setObjectName("edtHtml");
    edtHtml->setGeometry(328, 128, 73, 21);
    edtHtml->setMaxLength(7);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSize(8);
    edtHtml->setFont(fixed);
    edtVisualBasic = new QLineEdit(this);
    edtVisualBasic->setObjectName("edtVisualBasic");
    edtVisualBasic->setGeometry(328, 152, 73, 21);
    edtVisualBasic->setMaxLength(8);

    cmdOk = new QPushButton("OK", this);
    cmdOk->setObjectName("cmdOk");
    cmdOk->setGeometry(128, 184, 75, 25);
    cmdCancel = new QPushButton("Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    cmdCancel->setGeometry(216, 184, 75, 25);

    timTimer = new QTimer(this);
    timTimer->setObjectName("timTimer");
    timTimer->setInterval(250);
    escapeStopsPipette_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escapeStopsPipette_->setEnabled(false);

    setTabOrder(pagColorSpace, edtHtml);
    setTabOrder(edtHtml, edtVisualBasic);
    setTabOrder(edtVisualBasic, pnlBevel);
    setTabOrder(pnlBevel, btnPref);
}

void TMainForm::ConnectEvents() {
    const auto onChange = [this](BSliderNText* slider, void (TMainForm::*handler)()) {
        connect(slider, &BSliderNText::OnChange, this, handler);
    };
    for (BSliderNText* s : {bstRed, bstGrn, bstBlu}) {
        onChange(s, &TMainForm::RgbChanged);
    }
    for (BSliderNText* s : {bstHue, bstLit, bstSat}) {
        onChange(s, &TMainForm::HlsChanged);
    }
    for (BSliderNText* s : {bstHue2, bstSat2, bstVal2}) {
        onChange(s, &TMainForm::HsvChanged);
    }
    for (BSliderNText* s : {bstCya, bstMag, bstYel}) {
        onChange(s, &TMainForm::CmyChanged);
    }
    for (BSliderNText* s : {bstCya2, bstMag2, bstYel2, bstBlk2}) {
        onChange(s, &TMainForm::CmykChanged);
    }
    // A radio button's click is its becoming checked, by the user or not.
    const auto onCheck = [this](QRadioButton* radio, void (TMainForm::*handler)()) {
        connect(radio, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked) {
                (this->*handler)();
            }
        });
    };
    onCheck(rdbRgbByte, &TMainForm::rdbRgbByteClick);
    onCheck(rdbRgbPercent, &TMainForm::rdbRgbPercentClick);
    onCheck(rdbHlsByte, &TMainForm::rdbHlsByteClick);
    onCheck(rdbHlsPercent, &TMainForm::rdbHlsPercentClick);
    onCheck(rdbHlsDegreeByte, &TMainForm::rdbHlsDegreeByteClick);
    onCheck(rdbHlsDegreePercent, &TMainForm::rdbHlsDegreePercentClick);
    onCheck(rdbHsvByte, &TMainForm::rdbHsvByteClick);
    onCheck(rdbHsvPercent, &TMainForm::rdbHsvPercentClick);
    onCheck(rdbHsvDegreeByte, &TMainForm::rdbHsvDegreeByteClick);
    onCheck(rdbHsvDegreePercent, &TMainForm::rdbHsvDegreePercentClick);
    onCheck(rdbCmyByte, &TMainForm::rdbCmyByteClick);
    onCheck(rdbCmyPercent, &TMainForm::rdbCmyPercentClick);
    onCheck(rdbCmykByte, &TMainForm::rdbCmykByteClick);
    onCheck(rdbCmykPercent, &TMainForm::rdbCmykPercentClick);

    connect(VisualColorSelector, &BColorSelector::OnChange, this, &TMainForm::ColorSelectorChanged);
    connect(tkbZComponent, &QSlider::valueChanged, this, &TMainForm::ZComponentChanged);
    // Drop-down lists act on the user's choice only.
    connect(cboVisual, &QComboBox::activated, this, &TMainForm::VisualSortChanged);
    connect(cboFile, &QComboBox::activated, this, &TMainForm::cboFileChange);
    connect(cboName, &QComboBox::activated, this, &TMainForm::CboNameChanged);
    connect(pagColorSpace, &QTabWidget::currentChanged, this, [this](int index) {
        // Turning AutoUpdate on brings the plane up to date at once.
        const bool fieldShown = index == PageVisual;
        if (VisualColorSelector->AutoUpdate() != fieldShown) {
            VisualColorSelector->SetAutoUpdate(fieldShown);
        }
        if (!pageChangeByProgram_) {
            PageControlChanged();
        }
    });
    connect(edtHtml, &QLineEdit::textChanged, this, &TMainForm::HtmlChanged);
    connect(edtVisualBasic, &QLineEdit::textChanged, this, &TMainForm::VisualBasicChanged);
    connect(btnCapture, &QToolButton::clicked, this, &TMainForm::btnCaptureClick);
    connect(btnPref, &QToolButton::clicked, this, &TMainForm::btnPrefClick);
    connect(timTimer, &QTimer::timeout, this, &TMainForm::TimerCalled);
    connect(escapeStopsPipette_, &QShortcut::activated, this, [this] {
        if (timTimer->isActive()) {
            StopPipette();
        }
    });
}

bool TMainForm::event(QEvent* event) {
    // The icons come once the window has been painted: decoding the window
    // icon and reading the icon theme's index would hold back the first
    // showing by more than the whole window takes to build, and the drawn
    // glyphs serve until then.
    if (event->type() == QEvent::Paint && !iconsLoaded_) {
        iconsLoaded_ = true;
        QTimer::singleShot(0, this, [this] {
            // The program's icon at the sizes desktops ask for (taskbar,
            // switcher); none are there when the resources are not linked in.
            QIcon icon;
            for (const int size : {16, 24, 32, 48, 64}) {
                icon.addFile(QString(":/icons/%1.png").arg(size), QSize(size, size));
            }
            QApplication::setWindowIcon(icon);
            // The desktop's own glyphs, when its icon theme has them.
            if (QIcon::hasThemeIcon("color-picker")) {
                btnCapture->setIcon(QIcon::fromTheme("color-picker"));
            }
            if (QIcon::hasThemeIcon("preferences-system")) {
                btnPref->setIcon(QIcon::fromTheme("preferences-system"));
            }
        });
    }
    return QWidget::event(event);
}

int TMainForm::ActivePage() const {
    return pagColorSpace->currentIndex();
}

void TMainForm::SetActivePage(int index) {
    pageChangeByProgram_ = true;
    pagColorSpace->setCurrentIndex(index);
    pageChangeByProgram_ = false;
}

void TMainForm::OnCreate() {
    const TraceScope trace("TMainForm::OnCreate");
    // Everything the creation reads comes from one reading of the file.
    const SettingsBatch batch;
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    WindowDeactivate();
                }
            });
    ApplyMainTexts();
    ApplyPreferences();
    LoadSelectedColorFile();
    RangeClicksEnabled = true;
    ApplyRanges();

    float red = 0;
    float green = 0;
    float blue = 0;
    try {
        red = ReadRed();
        green = ReadGreen();
        blue = ReadBlue();
        // A page outside the seven leaves the sheet the window was laid out
        // with, so that the window stays usable.
        const int tab = ReadTab();
        if (tab >= PageRgb && tab <= PageName) {
            SetActivePage(tab);
        }
        const int x = ReadXPos();
        const int y = ReadYPos();
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            QList<QRect> monitors;
            for (const QScreen* screen : QGuiApplication::screens()) {
                monitors.append(screen->geometry());
            }
            move(MainWindowPosition(x, y, frameGeometry().size(), monitors, primary->geometry()));
        }
        ArrangeButtons();
    } catch (...) {
        // What was not read keeps its default.
    }

    try {
        currentColor_ = std::make_unique<BColorRgb>(red, green, blue);
    } catch (const std::bad_alloc&) {
        currentColor_.reset();
    }
    if (currentColor_) {
        VisualSortChanged();
        PanelSyncEnabled = true;
        HtmlSyncEnabled = true;
        VisualBasicSyncEnabled = true;
        PageControlChanged();
        UpdatePanel();
        UpdatePreview();
        UpdateHtmlCode();
        UpdateVisualBasicCode();
    }
    timTimer->stop();
}

void TMainForm::ApplyPreferences() {
    FillColorFileList();
    ApplyVisibility();
    ApplyStayOnTop();
    ApplySortChoices();
    ApplyPipetteSize();
}

void TMainForm::ApplyVisibility() {
    int rgb = 1, hls = 1, hsv = 1, cmy = 1, cmyk = 1, name = 1, visual = 1, html = 1, vb = 1;
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    ReadCodeVisibility(html, vb);
    const int before = ActivePage();
    pageChangeByProgram_ = true;
    pagColorSpace->setTabVisible(PageRgb, rgb != 0);
    pagColorSpace->setTabVisible(PageHls, hls != 0);
    pagColorSpace->setTabVisible(PageHsv, hsv != 0);
    pagColorSpace->setTabVisible(PageCmy, cmy != 0);
    pagColorSpace->setTabVisible(PageCmyk, cmyk != 0);
    pagColorSpace->setTabVisible(PageName, name != 0);
    pagColorSpace->setTabVisible(PageVisual, visual != 0);
    pageChangeByProgram_ = false;
    edtHtml->setVisible(html != 0);
    edtVisualBasic->setVisible(vb != 0);
    // Hiding the active sheet makes the tab widget show another one: the
    // current colour must take that page's class, as on a page change, or
    // the next edit there would read stale controls.
    if (currentColor_ && ActivePage() != before) {
        PageControlChanged();
    }
    UpdatePanel();
}

void TMainForm::ApplyStayOnTop() {
    const bool onTop = ReadStayOnTop() != 0;
    if (onTop == windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        return;
    }
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown) {
        show(); // changing the flags hides a shown window
    }
}

void TMainForm::ApplySortChoices() {
    int nameSort = 0;
    int visualSort = 0;
    ReadNameSort(nameSort);
    ReadVisualSort(visualSort);
    // An index the list does not have leaves no item selected.
    cboName->setCurrentIndex(nameSort >= 0 && nameSort < cboName->count() ? nameSort : -1);
    cboVisual->setCurrentIndex(visualSort >= 0 && visualSort < cboVisual->count() ? visualSort
                                                                                  : -1);
}

void TMainForm::ApplyPipetteSize() {
    int size = 0;
    ReadSize(size);
    pipetteSize_ = size;
}

void TMainForm::ArrangeButtons() {
    setFixedSize(edtHtml->x() + edtHtml->width() + 6, cmdOk->y() - 6);
    cmdOk->setEnabled(false);
    cmdOk->hide();
    cmdCancel->setEnabled(false);
    cmdCancel->hide();
    btnCapture->show();
    UpdateCaptureButton();
}

void TMainForm::btnPrefClick() {
    const TraceScope trace("TMainForm::btnPrefClick");
    TParamForm* const paramForm = paramForm_ ? paramForm_() : nullptr;
    if (paramForm == nullptr) {
        return;
    }
    paramForm->setWindowFlag(Qt::WindowStaysOnTopHint,
                             windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    if (paramForm->exec() == QDialog::Accepted) {
        const SettingsBatch batch;
        ApplyVisibility();
        ApplyStayOnTop();
        ApplyPipetteSize();
    }
}

void TMainForm::OnCloseQuery() {
    const TraceScope trace("TMainForm::OnCloseQuery");
    timTimer->stop();
    if (!currentColor_) {
        return;
    }
    // One save: a single locked rewrite of the settings file, not one for
    // each of the dozen values.
    const SettingsBatch batch;
    float red = 0;
    float green = 0;
    float blue = 0;
    currentColor_->ToRgb(red, green, blue);
    WriteRed(red);
    WriteGreen(green);
    WriteBlue(blue);
    WriteTab(ActivePage());
    SaveRanges();
    WriteVisualSort(cboVisual->currentIndex());
    WriteNameSort(cboName->currentIndex());
    WriteColorFile(cboFile->currentIndex() >= 0 ? FileNameBytes(cboFile->currentText()) : "");
    WriteXPos(x());
    WriteYPos(y());
    currentColor_.reset();
}

void TMainForm::OnClose() {
    {
        const TraceScope trace("TMainForm::OnClose");
        hide();
    }
    LogLine("-- End of session --");
    LogTime();
    DestroyLog();
    if (aboutBox_ && !endingSession_) {
        if (TAboutBox* const aboutBox = aboutBox_()) {
            aboutBox->exec();
        }
    }
    QCoreApplication::quit();
}

void TMainForm::EndSession() {
    if (!isVisible()) {
        QCoreApplication::quit();
        return;
    }
    endingSession_ = true;
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!isVisible()) {
        event->accept();
        return;
    }
    OnCloseQuery();
    OnClose();
    event->accept();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstName->viewport() && event->type() == QEvent::MouseButtonRelease) {
        LstNameMouseUp();
    } else if (watched == lstName && event->type() == QEvent::KeyRelease &&
               !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        LstNameKeyUp();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tintorel
