// The main window's layout and lifecycle: construction, the creation
// sequence, the preferences button, saving on close and the end of the
// session.
#include "app/mainform.h"

#include "app/aboutbox.h"
#include "app/datafolders.h"
#include "app/placement.h"
#include "app/previewimage.h"
#include "app/sliderpages.h"
#include "colour/colorcodes.h"
#include "colourlist/colorname.h"
#include "controls/accessible.h"
#include "controls/announcer.h"
#include "controls/codeedit.h"
#include "controls/colorselector.h"
#include "controls/glyphs.h"
#include "controls/metrics.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "log/log.h"
#include "platform/os/logfolder.h"
#include "settings/paramform.h"
#include "settings/params.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QStringListModel>
#include <QStyleOptionFrame>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

namespace tintorel {

namespace {

// The name list's row height in the design, and the rows it shows.
constexpr int kNameRowHeight = 15;
constexpr int kNameRowsShown = 5;
// The preview square's side and the bevel around it.
constexpr int kPreviewSide = 69;

// The widest text a code field can hold: its prefix and six of the widest
// hexadecimal digit.
QString WidestCode(const QLineEdit* edit, const QString& prefix) {
    const QFontMetrics metrics = edit->fontMetrics();
    QChar widest = u'0';
    for (const QChar digit : QStringLiteral("0123456789abcdef")) {
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest)) {
            widest = digit;
        }
    }
    return prefix + QString(6, widest);
}

} // namespace

// Draws each row of the name list through the main window.
class TMainForm::NameRowDelegate : public QStyledItemDelegate {
public:
    NameRowDelegate(TMainForm* form, QObject* parent) : QStyledItemDelegate(parent), form_(form) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        form_->LstNameDrawItem(*painter, index.row(), option.rect, option);
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, form_->NameRowHeight()};
    }
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        const QString tip = form_->NameRowTip(index.row(), option.rect, option.font);
        if (tip.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(event->globalPos(), tip, view, option.rect);
        }
        return true;
    }

private:
    TMainForm* form_;
};

TMainForm::TMainForm(std::unique_ptr<ScreenReader> screen,
                     const std::vector<std::string>& startNotes)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      screen_(std::move(screen)) {
    InstallAccessibleInterfaces();
    BuildLayout();
    ConnectEvents();
    ConnectScreen();
    // The session log, before the creation sequence.
    if (const std::optional<std::string> folder = LogFolder()) {
        CreateLog(*folder, "tintorel.log", true);
    }
    LogLine("-- Tintorel --");
    LogLine("-- Begin of session --");
    LogTime();
    for (const std::string& note : startNotes) {
        LogLine(note);
    }
    OnCreate();
}

TMainForm::~TMainForm() = default;

// The window of the design, laid out by Qt from each control's size under
// the running style, font and language: the page control on the left, the
// pipette and preferences buttons, the preview and the two codes on the
// right, and below them the OK and Cancel buttons that ArrangeButtons
// hides. The window is as large as its layout needs, and no larger.
void TMainForm::BuildLayout() {
    setObjectName("MainForm");
    setWindowTitle("Tintorel");
    Shows("MainTitle", TextRole::Title, this);
    move(301, 340);

    pagColorSpace = Named(new QTabWidget(this), "pagColorSpace");
    // Every tab shows whole: no scroll buttons, no shortened captions; the
    // window grows with the tab bar instead.
    pagColorSpace->setUsesScrollButtons(false);
    pagColorSpace->tabBar()->setElideMode(Qt::ElideNone);
    for (const SliderPageEntry& entry : SliderPages()) {
        BuildSliderPage(entry);
    }
    tabVisual = Shows("MainVisualTab", TextRole::Tab, BuildVisualPage());
    pagColorSpace->addTab(tabVisual, QString());
    tabName = Shows("MainNameTab", TextRole::Tab, BuildNamePage());
    pagColorSpace->addTab(tabName, QString());
    // The window design shows the Name sheet when first laid out.
    SetActivePage(PageName);

    cmdOk = Shows("MainOk", TextRole::Caption, Named(new QPushButton(this), "cmdOk"));
    cmdCancel = Shows("MainCancel", TextRole::Caption, Named(new QPushButton(this), "cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addStretch();

    auto* window = new QGridLayout(this);
    window->addWidget(pagColorSpace, 0, 0);
    window->addLayout(BuildSideColumn(), 0, 1);
    window->addLayout(buttons, 1, 0, 1, 2);
    // Fixed to what the layout needs, recomputed whenever that changes (the
    // language's texts, the style, the font).
    window->setSizeConstraint(QLayout::SetFixedSize);

    announcer_ = new BAnnouncer(this);
    timTimer = Named(new QTimer(this), "timTimer");
    timTimer->setInterval(250);
    escapeStopsPipette_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escapeStopsPipette_->setEnabled(false);
    // Ctrl+Tab and Ctrl+Page Down show the next page, Ctrl+Shift+Tab and
    // Ctrl+Page Up the one before, wherever the focus is in the window.
    const std::pair<QKeyCombination, int> pageKeys[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},
        {Qt::CTRL | Qt::Key_PageDown, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
        {Qt::CTRL | Qt::Key_PageUp, -1},
    };
    for (const auto& [keys, step] : pageKeys) {
        auto* shortcut = new QShortcut(QKeySequence(keys), this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { StepPage(step); });
    }

    // The Tab order is the order the controls were made in, which is the
    // order they are read in: the page, then the column beside it.
    FitToStyle();
}

// A page of sliders: a label and a slider on each row, then the range radio
// buttons, two to a line, at the foot of the page.
void TMainForm::BuildSliderPage(const SliderPageEntry& entry) {
    SliderPageWidgets page;
    page.entry = &entry;
    page.tab = Shows(entry.tabKey, TextRole::Tab, Named(new QWidget, entry.tab));
    auto* grid = new QGridLayout(page.tab);
    int row = 0;
    for (const SliderRow& r : entry.rows) {
        auto* label = Shows(r.key, TextRole::Caption, Named(new QLabel(page.tab), r.label));
        auto* slider = Named(new BSliderNText(page.tab), r.slider);
        slider->SetTextWidth(20);
        label->setBuddy(slider->Slider());
        grid->addWidget(label, row, 0);
        grid->addWidget(slider, row, 1);
        page.labels.push_back(label);
        page.sliders.push_back(slider);
        ++row;
    }
    if (entry.page == PageOklch) {
        BuildOklchRows(page.tab, grid, row);
    }
    grid->setRowStretch(row++, 1);
    auto* modes = new QGridLayout;
    modes->setColumnStretch(0, 1);
    modes->setColumnStretch(3, 1);
    for (std::size_t i = 0; i < entry.modes.size(); ++i) {
        auto* radio = Shows(entry.modes[i].key, TextRole::Caption,
                            Named(new QRadioButton(page.tab), entry.modes[i].radio));
        modes->addWidget(radio, static_cast<int>(i / 2), 1 + static_cast<int>(i % 2));
        page.modes.push_back(radio);
    }
    if (entry.page == PageOklch) {
        // The mark of a colour brought into sRGB, left of the scales.
        modes->addWidget(lblOkMapped, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
    }
    grid->addLayout(modes, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    // The design's maxima until the stored ones are applied.
    for (std::size_t i = 0; i < page.sliders.size(); ++i) {
        page.sliders[i]->SetMaxValue(entry.range->fallback[i]);
    }
    pagColorSpace->addTab(page.tab, QString());
    sliderPages_.push_back(std::move(page));
}

// The Visual page: the choice of axes, the colour field under it, and the
// third component's label and track bar at the foot.
QWidget* TMainForm::BuildVisualPage() {
    auto* page = Named(new QWidget, "tabVisual");
    lblXAndY = Shows("MainVisualXY", TextRole::Caption, Named(new QLabel(page), "lblXAndY"));
    cboVisual = Named(new QComboBox(page), "cboVisual");
    AddItems(cboVisual, {"MainVisualXY1", "MainVisualXY2", "MainVisualXY3"});
    VisualColorSelector = Named(new BColorSelector(page), "VisualColorSelector");
    VisualColorSelector->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
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
    VisualColorSelector->SetSmooth(true);
    // Framed in the style's colours, so that the field's edge shows against
    // a dark or light window alike.
    auto* fieldFrame = Named(new QFrame(page), "fraVisual");
    fieldFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* inFrame = new QVBoxLayout(fieldFrame);
    inFrame->setContentsMargins(fieldFrame->frameWidth(), fieldFrame->frameWidth(),
                                fieldFrame->frameWidth(), fieldFrame->frameWidth());
    VisualColorSelector->setParent(fieldFrame);
    inFrame->addWidget(VisualColorSelector);
    lblZHue = Shows("MainVisualHue", TextRole::Caption, Named(new QLabel(page), "lblZHue"));
    lblZLight =
        Shows("MainVisualLightness", TextRole::Caption, Named(new QLabel(page), "lblZLight"));
    lblZSat = Shows("MainVisualSaturation", TextRole::Caption, Named(new QLabel(page), "lblZSat"));
    tkbZComponent = Named(new QSlider(Qt::Horizontal, page), "tkbZComponent");
    tkbZComponent->setRange(0, 255);
    tkbZComponent->setPageStep(16);
    tkbZComponent->setTickPosition(QSlider::NoTicks);

    auto* grid = new QGridLayout(page);
    grid->addWidget(lblXAndY, 0, 0);
    grid->addWidget(cboVisual, 0, 1);
    grid->addWidget(fieldFrame, 1, 1);
    // One of the three Z labels shows at a time, in the same place; each
    // keeps its room while hidden, so that changing the axes never moves
    // the page's controls.
    for (QLabel* label : {lblZHue, lblZLight, lblZSat}) {
        QSizePolicy policy = label->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        label->setSizePolicy(policy);
        label->setBuddy(tkbZComponent);
        grid->addWidget(label, 2, 0);
    }
    grid->addWidget(tkbZComponent, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
    lblXAndY->setBuddy(cboVisual);
    return page;
}

// The Name page: the file and the sort order above the list of names.
QWidget* TMainForm::BuildNamePage() {
    auto* page = Named(new QWidget, "tabName");
    lblFile = Shows("MainNameFile", TextRole::Caption, Named(new QLabel(page), "lblFile"));
    lblSort = Shows("MainNameSort", TextRole::Caption, Named(new QLabel(page), "lblSort"));
    lblColorList =
        Shows("MainNameColor", TextRole::Caption, Named(new QLabel(page), "lblColorList"));
    cboFile = Named(new QComboBox(page), "cboFile");
    // A long file name is shortened in the closed list, never the window
    // widened for it; the open list shows it whole.
    cboFile->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboFile->setMinimumContentsLength(12);
    cboName = Named(new QComboBox(page), "cboName");
    AddItems(cboName, {"MainNameSort1", "MainNameSort2", "MainNameSort3", "MainNameSort4",
                       "MainNameSort5", "MainNameSort6", "MainNameSort7", "MainNameSort8"});
    lstName = Named(new QListView(page), "lstName");
    lstName->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    lstNameRows = new QStringListModel(lstName);
    lstName->setModel(lstNameRows);
    lstName->setItemDelegate(new NameRowDelegate(this, lstName));
    lstName->setUniformItemSizes(true);
    lstName->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstName->setSelectionMode(QAbstractItemView::SingleSelection);
    lstName->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstName->installEventFilter(this);

    auto* grid = new QGridLayout(page);
    grid->addWidget(lblFile, 0, 0);
    grid->addWidget(cboFile, 0, 1);
    grid->addWidget(lblSort, 1, 0);
    grid->addWidget(cboName, 1, 1);
    grid->addWidget(lblColorList, 2, 0, Qt::AlignTop);
    grid->addWidget(lstName, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    lblFile->setBuddy(cboFile);
    lblSort->setBuddy(cboName);
    lblColorList->setBuddy(lstName);
    setTabOrder(cboFile, cboName);
    setTabOrder(cboName, lstName);
    return page;
}

// The right-hand column: the pipette and preferences buttons, the preview
// in its bevel, and the two codes.
QLayout* TMainForm::BuildSideColumn() {
    btnCapture = Shows("MainPipette", TextRole::Hint, Named(new QToolButton(this), "btnCapture"));
    Holds("MainPipette", pipetteHint_);
    btnCapture->setCheckable(true);
    btnCapture->setProperty(kToggleClicks, true);
    btnCapture->setAutoRaise(true);
    btnCapture->setIcon(PipetteIcon());
    btnPref = Shows("MainPrefs", TextRole::Hint, Named(new QToolButton(this), "btnPref"));
    btnPref->setAutoRaise(true);
    btnPref->setIcon(PreferencesIcon());
    auto* tools = new QHBoxLayout;
    tools->addStretch();
    tools->addWidget(btnCapture);
    tools->addWidget(btnPref);
    tools->addStretch();

    pnlBevel = Named(new QFrame(this), "pnlBevel");
    pnlBevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnlImage = Shows("MainPreview", TextRole::Hint,
                     Named(new PreviewImage(pnlBevel, kPreviewSide), "pnlImage"));
    auto* bevel = new QVBoxLayout(pnlBevel);
    bevel->setContentsMargins(QMargins());
    bevel->addWidget(pnlImage);

    // No length limit: a longer paste stays whole and is refused whole,
    // never cut into another colour.
    edtHtml = Shows("MainHtml", TextRole::Hint, Named(new BCodeEdit(this), "edtHtml"));
    edtVisualBasic = Shows("MainVb", TextRole::Hint, Named(new BCodeEdit(this), "edtVisualBasic"));
    Shows("MainHtmlRejected", TextRole::Refused, edtHtml);
    Shows("MainVbRejected", TextRole::Refused, edtVisualBasic);
    Holds("MainHtmlAlpha", alphaNote_);
    Holds("MainHtmlMapped", mappedNote_);
    Holds("MainCopyAs", copyAs_);
    html_ = {edtHtml, false, HtmlCode, &tintorel::ParseHtmlCode};
    visualBasic_ = {edtVisualBasic, false, VisualBasicCode, &tintorel::ParseVisualBasicCode};
    // A hidden code keeps its room: the window does not change its size
    // when the preferences hide one.
    for (QLineEdit* edit : {edtHtml, edtVisualBasic}) {
        QSizePolicy policy = edit->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        edit->setSizePolicy(policy);
    }

    auto* column = new QVBoxLayout;
    column->addLayout(tools);
    column->addWidget(pnlBevel, 0, Qt::AlignHCenter);
    column->addWidget(edtHtml);
    column->addWidget(edtVisualBasic);
    column->addStretch();
    return column;
}

void TMainForm::FitToStyle() {
    // The HTML code in the desktop's fixed-pitch font, at the size of the
    // window's own.
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(font().pointSizeF());
    edtHtml->setFont(fixed);
    const int codes = std::max(LineEditWidthFor(edtHtml, WidestCode(edtHtml, "#")),
                               LineEditWidthFor(edtVisualBasic, WidestCode(edtVisualBasic, "&H")));
    const int bevel = kPreviewSide + 2 * pnlBevel->frameWidth();
    pnlBevel->setFixedSize(bevel, bevel);
    for (QLineEdit* edit : {edtHtml, edtVisualBasic}) {
        edit->setFixedWidth(std::max(codes, bevel));
    }
    // Glyphs as tall as a line of text and a half.
    const int glyph = std::max(16, qRound(fontMetrics().height() * 1.3));
    for (QToolButton* button : {btnCapture, btnPref}) {
        button->setIconSize(QSize(glyph, glyph));
    }
    // Whole rows only, whichever row the list is scrolled to.
    lstName->setFixedHeight(kNameRowsShown * NameRowHeight() + 2 * lstName->frameWidth());
}

int TMainForm::NameRowHeight() const {
    return std::max(kNameRowHeight, lstName->fontMetrics().height() + 2);
}

void TMainForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitToStyle();
    }
}

void TMainForm::showEvent(QShowEvent* event) {
    // A style may give the controls their own fonts and margins only when it
    // polishes them, just before they are first shown.
    FitToStyle();
    QWidget::showEvent(event);
}

void TMainForm::ConnectEvents() {
    for (const SliderPageWidgets& page : sliderPages_) {
        for (BSliderNText* slider : page.sliders) {
            connect(slider, &BSliderNText::OnChange, this, &TMainForm::PanelEdit);
        }
        // A radio button's click is its becoming checked, by the user or not.
        for (std::size_t mode = 0; mode < page.modes.size(); ++mode) {
            connect(page.modes[mode], &QRadioButton::toggled, this,
                    [this, index = page.entry->page, mode](bool checked) {
                        if (checked) {
                            RangeClick(index, static_cast<int>(mode));
                        }
                    });
        }
    }
    connect(VisualColorSelector, &BColorSelector::OnChange, this, &TMainForm::ColorSelectorChanged);
    connect(tkbZComponent, &QSlider::valueChanged, this, &TMainForm::ZComponentChanged);
    // Drop-down lists act on the user's choice only.
    connect(cboVisual, &QComboBox::activated, this, &TMainForm::VisualSortChanged);
    connect(cboFile, &QComboBox::activated, this, &TMainForm::cboFileChange);
    connect(cboName, &QComboBox::activated, this, &TMainForm::CboNameChanged);
    // A name is chosen by whatever selects its row (a click, the keys,
    // type-ahead), or by a click or Enter on the row already shown.
    connect(lstName->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TMainForm::NameChosen);
    connect(lstName, &QAbstractItemView::clicked, this, &TMainForm::NameChosen);
    connect(lstName, &QAbstractItemView::activated, this, &TMainForm::NameChosen);
    connect(pagColorSpace, &QTabWidget::currentChanged, this, [this](int index) {
        // Turning AutoUpdate on brings the plane up to date at once.
        const bool fieldShown = index == PageVisual;
        if (VisualColorSelector->AutoUpdate() != fieldShown) {
            VisualColorSelector->SetAutoUpdate(fieldShown);
        }
        if (!pageChangeByProgram_) {
            PageControlChanged();
            // The tab bar says the page it shows; from anywhere else (a
            // shortcut) the page is said.
            if (!pagColorSpace->tabBar()->hasFocus()) {
                announcer_->AnnounceNow(CaptionWithoutMarkers(pagColorSpace->tabText(index)));
            }
        }
    });
    connect(edtHtml, &QLineEdit::textChanged, this, &TMainForm::HtmlChanged);
    // The code fields' menu, from the mouse, the menu key or Shift+F10.
    for (BCodeEdit* edit : {edtHtml, edtVisualBasic}) {
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(edit, &QWidget::customContextMenuRequested, this,
                [this, edit](const QPoint& at) { ShowCodeMenu(edit, at); });
        auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), edit);
        menuKey->setContext(Qt::WidgetShortcut);
        connect(menuKey, &QShortcut::activated, this,
                [this, edit] { ShowCodeMenu(edit, QPoint(0, edit->height())); });
    }
    connect(edtVisualBasic, &QLineEdit::textChanged, this, &TMainForm::VisualBasicChanged);
    connect(btnCapture, &QToolButton::clicked, this, &TMainForm::btnCaptureClick);
    connect(btnPref, &QToolButton::clicked, this, &TMainForm::btnPrefClick);
    connect(timTimer, &QTimer::timeout, this, &TMainForm::PipetteTick);
    connect(escapeStopsPipette_, &QShortcut::activated, this, [this] {
        if (timTimer->isActive()) {
            StopPipette();
        }
    });
}

bool TMainForm::event(QEvent* event) {
    // The window icon comes once the window has been painted: decoding it
    // would hold back the first showing for nothing the user sees yet.
    if (event->type() == QEvent::Paint && !iconsLoaded_) {
        iconsLoaded_ = true;
        QTimer::singleShot(0, this, [] {
            // The program's icon at the sizes desktops ask for (taskbar,
            // switcher, at any scale); none are there when the resources are
            // not linked in.
            QApplication::setWindowIcon(ProgramIcon({16, 24, 32, 48, 64, 128, 256}));
        });
    }
    return QWidget::event(event);
}

void TMainForm::StepPage(int step) {
    // The next shown page that way round, as a click on its tab would.
    const int count = pagColorSpace->count();
    for (int i = 1; i < count; ++i) {
        const int page = ((pagColorSpace->currentIndex() + step * i) % count + count) % count;
        if (pagColorSpace->isTabVisible(page) && pagColorSpace->isTabEnabled(page)) {
            pagColorSpace->setCurrentIndex(page);
            return;
        }
    }
}

int TMainForm::StoredTab(int page) {
    switch (page) {
    case PageOklch:
        return 7;
    case PageVisual:
        return 5;
    case PageName:
        return 6;
    default:
        return page;
    }
}

int TMainForm::PageOfStoredTab(int stored) {
    for (int page = PageRgb; page <= PageName; ++page) {
        if (StoredTab(page) == stored) {
            return page;
        }
    }
    return -1;
}

int TMainForm::ActivePage() const {
    return pagColorSpace->currentIndex();
}

void TMainForm::SetActivePage(int index) {
    const QScopedValueRollback byProgram(pageChangeByProgram_, true);
    pagColorSpace->setCurrentIndex(index);
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

    // Each read gives its default where the store fails; none throws.
    const float red = ReadRed();
    const float green = ReadGreen();
    const float blue = ReadBlue();
    // A number that names no page leaves the sheet the window was laid out
    // with, so that the window stays usable.
    const int tab = PageOfStoredTab(ReadTab());
    if (tab >= 0) {
        SetActivePage(tab);
    }
    kept_ = ReadKept();
    const int x = ReadXPos();
    const int y = ReadYPos();
    // The window takes the size its layout needs now, so that it is
    // placed with the size it has.
    SettleLayout();
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        QList<QRect> monitors;
        for (const QScreen* screen : QGuiApplication::screens()) {
            monitors.append(screen->geometry());
        }
        // A position of 0 is a place like any other once one was stored.
        const bool stored = Exists(setting::XPos) && Exists(setting::YPos);
        move(MainWindowPosition(stored ? std::optional<QPoint>(QPoint(x, y)) : std::nullopt,
                                frameGeometry().size(), monitors, primary->geometry()));
    }
    ArrangeButtons();

    try {
        currentColor_ = std::make_unique<BColorRgb>(red, green, blue);
    } catch (const std::bad_alloc&) {
        currentColor_.reset();
    }
    if (currentColor_) {
        VisualSortChanged();
        PanelSyncEnabled = true;
        html_.syncEnabled = true;
        visualBasic_.syncEnabled = true;
        PageControlChanged();
        ShowCurrentColour(Edited::Nothing);
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
    int html = 1, vb = 1;
    const std::array<bool, 8> shown = ShownPages();
    ReadCodeVisibility(html, vb);
    const int before = ActivePage();
    {
        const QScopedValueRollback byProgram(pageChangeByProgram_, true);
        // The settings' order, which is not the tabs' order.
        const std::array<int, 8> pages{PageRgb,  PageHls,  PageHsv,    PageCmy,
                                       PageCmyk, PageName, PageVisual, PageOklch};
        for (std::size_t i = 0; i < pages.size(); ++i) {
            pagColorSpace->setTabVisible(pages[i], shown[i]);
        }
    }
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
    pipetteSize_ = PipetteSizeOf(size);
}

void TMainForm::ArrangeButtons() {
    // The strip that holds OK and Cancel goes: the layout closes over it.
    cmdOk->setEnabled(false);
    cmdOk->hide();
    cmdCancel->setEnabled(false);
    cmdCancel->hide();
    btnCapture->show();
    UpdateCaptureButton();
    // Only the window's own layout changed: the pages are settled already.
    layout()->activate();
}

void TMainForm::SettleLayout() {
    // The texts, ranges and fonts set since the window was built have only
    // asked for a new layout (each page's layout waits for the event loop):
    // work it all out now, from the innermost layout to the window's.
    for (QLayout* inner : findChildren<QLayout*>()) {
        inner->invalidate();
    }
    layout()->activate();
}

void TMainForm::btnPrefClick() {
    const TraceScope trace("TMainForm::btnPrefClick");
    TParamForm* const paramForm = paramForm_ ? paramForm_() : nullptr;
    if (paramForm == nullptr) {
        return;
    }
    paramForm->setWindowFlag(Qt::WindowStaysOnTopHint,
                             windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    paramForm->SetLanguageFolder(LanguageFolder);
    if (paramForm->exec() == QDialog::Accepted) {
        const SettingsBatch batch;
        ApplyVisibility();
        ApplyStayOnTop();
        ApplyPipetteSize();
        if (paramForm->LanguageChanged()) {
            // Every window's texts in the chosen language, now.
            for (const std::string& note : LoadLanguage()) {
                LogLine(note);
            }
            ApplyMainTexts();
            paramForm->FormCreate();
            SettleLayout(); // the window takes the size the new texts need
        }
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
    WriteTab(StoredTab(ActivePage()));
    WriteKept(kept_);
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
            aboutBox->FormCreate(); // in the language chosen last
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
    if (watched == lstName && event->type() == QEvent::FocusIn) {
        // The keys start from the row that shows the colour's name.
        const QModelIndexList shown = lstName->selectionModel()->selectedRows();
        if (!shown.isEmpty() && shown.front() != lstName->currentIndex()) {
            const QScopedValueRollback byProgram(nameSelectionByProgram_, true);
            lstName->selectionModel()->setCurrentIndex(shown.front(),
                                                       QItemSelectionModel::NoUpdate);
        }
        // Qt tells screen readers of the list's focus after its row's, so
        // they would say the list and no row: the row is told again after.
        QTimer::singleShot(0, lstName, [this] {
            const QModelIndex current = lstName->currentIndex();
            if (lstName->hasFocus() && current.isValid()) {
                QAccessibleEvent focus(lstName, QAccessible::Focus);
                focus.setChild(current.row());
                QAccessible::updateAccessibility(&focus);
            }
        });
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace tintorel
