#include "settings/paramform.h"

#include "controls/radio.h"
#include "controls/uitext.h"
#include "locale/language.h"
#include "locale/texttables.h"
#include "settings/params.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

#include <functional>
#include <map>

namespace tintorel {

namespace {

// A lowered panel of choices. Its heading's accelerator leads here: the
// focus goes on to the chosen option (else the first), and nothing is
// chosen by it. A button as the heading's buddy would be clicked instead.
class ChoicePanel : public QFrame {
public:
    explicit ChoicePanel(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Reached by the accelerator (and a click on its ground), never by
        // Tab: the options are the Tab stops.
        setFocusPolicy(Qt::ClickFocus);
    }

protected:
    void focusInEvent(QFocusEvent* event) override {
        QFrame::focusInEvent(event);
        QAbstractButton* firstEnabled = nullptr;
        for (QAbstractButton* option : findChildren<QAbstractButton*>()) {
            if (!option->isEnabled()) {
                continue;
            }
            if (option->isChecked()) {
                option->setFocus(Qt::ShortcutFocusReason);
                return;
            }
            firstEnabled = firstEnabled != nullptr ? firstEnabled : option;
        }
        if (firstEnabled != nullptr) {
            firstEnabled->setFocus(Qt::ShortcutFocusReason);
        }
    }
};

QFrame* MakePanel(QWidget* parent, const char* name) {
    return Named(new ChoicePanel(parent), name);
}

} // namespace

// Three lowered panels one above the other (stay on top, the pipette's size,
// the visible panels), each with its label on the left and its choices on
// the right, and OK and Cancel below them; laid out by Qt from the style,
// the font and the language, and fixed to the size that needs.
TParamForm::TParamForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("ParamForm");
    setWindowTitle("ParamForm");

    QFrame* pnlStayOnTop = MakePanel(this, "pnlStayOnTop");
    lblStayOnTop =
        Named(new QLabel("Stay on top of running applications", pnlStayOnTop), "lblStayOnTop");
    rdbYes = Named(new QRadioButton("Yes", pnlStayOnTop), "rdbYes");
    rdbNo = Named(new QRadioButton("No", pnlStayOnTop), "rdbNo");
    rdbNo->setChecked(true);
    stayOnTop_ = new QGridLayout(pnlStayOnTop);
    stayOnTop_->addWidget(lblStayOnTop, 0, 0, 2, 1, Qt::AlignTop);
    stayOnTop_->addWidget(rdbYes, 0, 1);
    stayOnTop_->addWidget(rdbNo, 1, 1);

    QFrame* pnlPipetteSize = MakePanel(this, "pnlPipetteSize");
    lblPipette = Named(new QLabel("Pipette size", pnlPipetteSize), "lblPipette");
    rdbSmall = Named(new QRadioButton("Small", pnlPipetteSize), "rdbSmall");
    rdbBigger = Named(new QRadioButton("Bigger", pnlPipetteSize), "rdbBigger");
    rdbMuchBigger = Named(new QRadioButton("Much bigger", pnlPipetteSize), "rdbMuchBigger");
    rdbSmall->setChecked(true);
    pipetteSize_ = new QGridLayout(pnlPipetteSize);
    pipetteSize_->addWidget(lblPipette, 0, 0, 3, 1, Qt::AlignTop);
    pipetteSize_->addWidget(rdbSmall, 0, 1);
    pipetteSize_->addWidget(rdbBigger, 1, 1);
    pipetteSize_->addWidget(rdbMuchBigger, 2, 1);

    QFrame* pnlVisiblePanels = MakePanel(this, "pnlVisiblePanels");
    lblVisiblePanels = Named(new QLabel("Visible panels", pnlVisiblePanels), "lblVisiblePanels");
    const struct {
        QCheckBox** box;
        const char* name;
        const char* text;
    } boxes[] = {
        {&chkRgb, "chkRgb", "RGB"},           {&chkHls, "chkHls", "HLS"},
        {&chkHsv, "chkHsv", "HSV"},           {&chkCmy, "chkCmy", "CMY"},
        {&chkCmyk, "chkCmyk", "CMYK"},        {&chkOklch, "chkOklch", "OKLCH"},
        {&chkVisual, "chkVisual", "Visual"},  {&chkName, "chkName", "Color names"},
        {&chkHtml, "chkHtml", "Html"},        {&chkVb, "chkVb", "Visual Basic"},
    };
    auto* visible = new QGridLayout(pnlVisiblePanels);
    visible->addWidget(lblVisiblePanels, 0, 0, 1, 4);
    // Columns of four, indented under the label.
    visible->setColumnMinimumWidth(0, visible->spacing() > 0 ? 2 * visible->spacing() : 12);
    int i = 0;
    for (const auto& b : boxes) {
        *b.box = Named(new QCheckBox(b.text, pnlVisiblePanels), b.name);
        (*b.box)->setChecked(true);
        visible->addWidget(*b.box, 1 + i % 4, 1 + i / 4);
        ++i;
    }

    // The language of every window's texts, from the language files found.
    QFrame* pnlLanguage = MakePanel(this, "pnlLanguage");
    lblLanguage = Named(new QLabel("Display language", pnlLanguage), "lblLanguage");
    cboLanguage = Named(new QComboBox(pnlLanguage), "cboLanguage");
    auto* language = new QHBoxLayout(pnlLanguage);
    language->addWidget(lblLanguage);
    language->addWidget(cboLanguage, 1);
    lblLanguage->setBuddy(cboLanguage);

    btnOk = Named(new QPushButton("&OK", this), "btnOk");
    btnOk->setDefault(true);
    btnCancel = Named(new QPushButton("Cancel", this), "btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    buttons->addStretch();

    auto* dialog = new QVBoxLayout(this);
    dialog->addWidget(pnlStayOnTop);
    dialog->addWidget(pnlPipetteSize);
    dialog->addWidget(pnlVisiblePanels);
    dialog->addWidget(pnlLanguage);
    dialog->addLayout(buttons);
    dialog->setSizeConstraint(QLayout::SetFixedSize);

    // An ampersand in a label's text marks its accelerator, which takes the
    // focus into the label's panel, onto its chosen option.
    lblStayOnTop->setBuddy(pnlStayOnTop);
    lblPipette->setBuddy(pnlPipetteSize);
    lblVisiblePanels->setBuddy(pnlVisiblePanels);

    for (QCheckBox* page : PageBoxes()) {
        connect(page, &QCheckBox::toggled, this, &TParamForm::KeepOnePageVisible);
    }
    connect(btnOk, &QPushButton::clicked, this, &TParamForm::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TParamForm::AlignChoices() {
    // The choices of the first two panels in one column, whatever their
    // labels' lengths in the language shown.
    const int labels = std::max(lblStayOnTop->sizeHint().width(), lblPipette->sizeHint().width());
    stayOnTop_->setColumnMinimumWidth(0, labels);
    pipetteSize_->setColumnMinimumWidth(0, labels);
}

void TParamForm::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        AlignChoices();
    }
}

void TParamForm::FormCreate() {
    const auto text = [](QAbstractButton* b) { return [b](const QString& t) { b->setText(t); }; };
    const auto label = [](QLabel* l) { return [l](const QString& t) { l->setText(t); }; };
    const std::map<std::string, std::function<void(const QString&)>> apply = {
        {"ParamTitle", [this](const QString& t) { setWindowTitle(t); }},
        {"ParamOk", text(btnOk)},
        {"ParamCancel", text(btnCancel)},
        {"ParamStayOnTop", label(lblStayOnTop)},
        {"ParamStayOnTopYes", text(rdbYes)},
        {"ParamStayOnTopNo", text(rdbNo)},
        {"ParamPipette", label(lblPipette)},
        {"ParamPipetteSmall", text(rdbSmall)},
        {"ParamPipetteBigger", text(rdbBigger)},
        {"ParamPipetteMuchBigger", text(rdbMuchBigger)},
        {"ParamPanel", label(lblVisiblePanels)},
        {"ParamPanelRgb", text(chkRgb)},
        {"ParamPanelHls", text(chkHls)},
        {"ParamPanelHsv", text(chkHsv)},
        {"ParamPanelCmy", text(chkCmy)},
        {"ParamPanelCmyk", text(chkCmyk)},
        {"ParamPanelOklch", text(chkOklch)},
        {"ParamPanelVisual", text(chkVisual)},
        {"ParamPanelName", text(chkName)},
        {"ParamPanelHtml", text(chkHtml)},
        {"ParamPanelVb", text(chkVb)},
        {"ParamLanguage", label(lblLanguage)},
    };
    for (const TextKey& key : ParamTextKeys()) {
        const auto found = apply.find(key.key);
        if (found != apply.end()) {
            found->second(DisplayText(LookupText(key.key)));
        }
    }
    AlignChoices();
}

// Loaded when the program shows the dialog, not on every show event: the
// window system sends those too, when it restores the dialog after it was
// minimised, and reloading then would throw away the user's unconfirmed
// changes.
int TParamForm::exec() {
    FormShow();
    return QDialog::exec();
}

void TParamForm::FormShow() {
    LoadPreferences();
    // The dialog opens on the chosen option of its first panel: Space
    // there changes nothing.
    (rdbYes->isChecked() ? rdbYes : rdbNo)->setFocus(Qt::OtherFocusReason);
}

void TParamForm::LoadPreferences() {
    const SettingsBatch batch;
    int html = 1, vb = 1;
    const std::array<bool, 8> shown = ShownPages();
    ReadCodeVisibility(html, vb);
    const std::array<QCheckBox*, 8> pages = PageBoxes();
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i]->setChecked(shown[i]);
    }
    chkHtml->setChecked(html != 0);
    chkVb->setChecked(vb != 0);
    const int onTop = ReadStayOnTop();
    SetRadioChecked(rdbYes, onTop != 0);
    SetRadioChecked(rdbNo, onTop == 0);
    int stored = 0;
    ReadSize(stored);
    // A size is always chosen: one the dialog does not offer (none stored
    // yet, or a hand-edited value) shows as the size the pipette samples.
    const int size = PipetteSizeOf(stored);
    SetRadioChecked(rdbSmall, size == kPipetteSmall);
    SetRadioChecked(rdbBigger, size == kPipetteBigger);
    SetRadioChecked(rdbMuchBigger, size == kPipetteMuchBigger);

    // Each language file by the name it gives itself; the one in use is
    // chosen (by its file, else by the name of the texts shown).
    const std::string folder = languageFolder_ ? languageFolder_() : Read(setting::LocaleDir);
    const std::string current = Read(setting::LocaleFile);
    const std::string shownName = LookupText("LanguageName");
    cboLanguage->clear();
    int chosen = -1;
    for (const LanguageFileName& file : LanguageFiles(folder)) {
        cboLanguage->addItem(DisplayText(file.name), FileNameText(file.file));
        if (file.file == current || (chosen < 0 && file.name == shownName)) {
            chosen = cboLanguage->count() - 1;
        }
    }
    cboLanguage->setCurrentIndex(chosen);
    languageChanged_ = false;
}

std::array<QCheckBox*, 8> TParamForm::PageBoxes() const {
    return {chkRgb, chkHls, chkHsv, chkCmy, chkCmyk, chkName, chkVisual, chkOklch};
}

void TParamForm::KeepOnePageVisible() {
    // The last ticked page cannot be unticked: a window without pages would
    // show nothing to edit.
    const std::array<QCheckBox*, 8> pages = PageBoxes();
    const auto ticked = std::count_if(pages.begin(), pages.end(),
                                      [](const QCheckBox* box) { return box->isChecked(); });
    for (QCheckBox* box : pages) {
        box->setEnabled(ticked > 1 || !box->isChecked());
    }
}

void TParamForm::StorePreferences() {
    const SettingsBatch batch;
    const auto on = [](const QCheckBox* box) { return box->isChecked() ? 1 : 0; };
    WriteTabVisibility(on(chkRgb), on(chkHls), on(chkHsv), on(chkCmy), on(chkCmyk), on(chkName),
                       on(chkVisual));
    Write(setting::OklchVis, on(chkOklch));
    WriteCodeVisibility(on(chkHtml), on(chkVb));
    WriteStayOnTop(rdbYes->isChecked() ? 1 : 0);
    // With no size chosen, 0 is stored: it samples like the smallest size.
    int size = 0;
    if (rdbSmall->isChecked()) {
        size = kPipetteSmall;
    }
    if (rdbBigger->isChecked()) {
        size = kPipetteBigger;
    }
    if (rdbMuchBigger->isChecked()) {
        size = kPipetteMuchBigger;
    }
    WriteSize(size);
    // Another language: its file is stored, and read at once.
    if (cboLanguage->currentIndex() >= 0) {
        const std::string file = FileNameBytes(cboLanguage->currentData().toString());
        if (file != Read(setting::LocaleFile)) {
            Write(setting::LocaleFile, file);
            languageChanged_ = true;
        }
    }
}

void TParamForm::btnOkClick() {
    StorePreferences();
    accept();
}

} // namespace tintorel
