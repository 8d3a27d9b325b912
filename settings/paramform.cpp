#include "settings/paramform.h"

#include "controls/radio.h"
#include "controls/uitext.h"
#include "locale/language.h"
#include "locale/texttables.h"
#include "settings/params.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <functional>
#include <map>

namespace tintorel {

namespace {

QFrame* MakePanel(QWidget* parent, const char* name, const QRect& geometry) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

template <class Button>
Button* MakeButton(QWidget* parent, const char* name, int x, int y, int width, const char* text) {
    auto* button = new Button(text, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, width, 17);
    return button;
}

} // namespace

TParamForm::TParamForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName("ParamForm");
    setWindowTitle("ParamForm");
    setFont(WindowFont());
    setFixedSize(335, 303);

    btnOk = new QPushButton("&OK", this);
    btnOk->setObjectName("btnOk");
    btnOk->setGeometry(96, 272, 75, 25);
    btnOk->setDefault(true);
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setGeometry(176, 272, 75, 25);

    QFrame* pnlStayOnTop = MakePanel(this, "pnlStayOnTop", QRect(8, 8, 321, 57));
    lblStayOnTop = new QLabel("Stay on top of running applications", pnlStayOnTop);
    lblStayOnTop->setObjectName("lblStayOnTop");
    lblStayOnTop->setGeometry(8, 8, 196, 40);
    lblStayOnTop->setWordWrap(true);
    lblStayOnTop->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rdbYes = MakeButton<QRadioButton>(pnlStayOnTop, "rdbYes", 208, 8, 100, "Yes");
    rdbNo = MakeButton<QRadioButton>(pnlStayOnTop, "rdbNo", 208, 32, 100, "No");
    rdbNo->setChecked(true);

    QFrame* pnlPipetteSize = MakePanel(this, "pnlPipetteSize", QRect(8, 72, 321, 81));
    lblPipette = new QLabel("Pipette size", pnlPipetteSize);
    lblPipette->setObjectName("lblPipette");
    lblPipette->move(8, 8);
    rdbSmall = MakeButton<QRadioButton>(pnlPipetteSize, "rdbSmall", 208, 8, 110, "Small");
    rdbBigger = MakeButton<QRadioButton>(pnlPipetteSize, "rdbBigger", 208, 32, 110, "Bigger");
    rdbMuchBigger =
        MakeButton<QRadioButton>(pnlPipetteSize, "rdbMuchBigger", 208, 56, 110, "Much bigger");
    rdbSmall->setChecked(true);

    QFrame* pnlVisiblePanels = MakePanel(this, "pnlVisiblePanels", QRect(8, 160, 321, 97));
    lblVisiblePanels = new QLabel("Visible panels", pnlVisiblePanels);
    lblVisiblePanels->setObjectName("lblVisiblePanels");
    lblVisiblePanels->move(8, 8);
    chkRgb = MakeButton<QCheckBox>(pnlVisiblePanels, "chkRgb", 32, 32, 88, "RGB");
    chkHls = MakeButton<QCheckBox>(pnlVisiblePanels, "chkHls", 32, 50, 88, "HLS");
    chkHsv = MakeButton<QCheckBox>(pnlVisiblePanels, "chkHsv", 32, 68, 88, "HSV");
    chkCmy = MakeButton<QCheckBox>(pnlVisiblePanels, "chkCmy", 120, 32, 88, "CMY");
    chkCmyk = MakeButton<QCheckBox>(pnlVisiblePanels, "chkCmyk", 120, 50, 88, "CMYK");
    chkVisual = MakeButton<QCheckBox>(pnlVisiblePanels, "chkVisual", 120, 68, 88, "Visual");
    chkName = MakeButton<QCheckBox>(pnlVisiblePanels, "chkName", 208, 32, 110, "Color names");
    chkHtml = MakeButton<QCheckBox>(pnlVisiblePanels, "chkHtml", 208, 50, 110, "Html");
    chkVb = MakeButton<QCheckBox>(pnlVisiblePanels, "chkVb", 208, 68, 110, "Visual Basic");
    for (QCheckBox* box :
         {chkRgb, chkHls, chkHsv, chkCmy, chkCmyk, chkVisual, chkName, chkHtml, chkVb}) {
        box->setChecked(true);
    }

    // An ampersand in a label's text marks its accelerator, which takes the
    // focus to the first choice of the label's panel.
    lblStayOnTop->setBuddy(rdbYes);
    lblPipette->setBuddy(rdbSmall);
    lblVisiblePanels->setBuddy(chkRgb);

    connect(btnOk, &QPushButton::clicked, this, &TParamForm::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TParamForm::FormCreate() {
    const auto text = [](QAbstractButton* b) { return [b](const QString& t) { b->setText(t); }; };
    const auto label = [](QLabel* l) {
        return [l](const QString& t) {
            l->setText(t);
            if (!l->wordWrap()) {
                l->adjustSize();
            }
        };
    };
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
        {"ParamPanelVisual", text(chkVisual)},
        {"ParamPanelName", text(chkName)},
        {"ParamPanelHtml", text(chkHtml)},
        {"ParamPanelVb", text(chkVb)},
    };
    for (const TextKey& key : ParamTextKeys()) {
        const auto found = apply.find(key.key);
        if (found != apply.end()) {
            found->second(DisplayText(LookupText(key.key)));
        }
    }
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
}

void TParamForm::LoadPreferences() {
    const SettingsBatch batch;
    int rgb = 1, hls = 1, hsv = 1, cmy = 1, cmyk = 1, name = 1, visual = 1, html = 1, vb = 1;
    ReadTabVisibility(rgb, hls, hsv, cmy, cmyk, name, visual);
    ReadCodeVisibility(html, vb);
    chkRgb->setChecked(rgb != 0);
    chkHls->setChecked(hls != 0);
    chkHsv->setChecked(hsv != 0);
    chkCmy->setChecked(cmy != 0);
    chkCmyk->setChecked(cmyk != 0);
    chkName->setChecked(name != 0);
    chkVisual->setChecked(visual != 0);
    chkHtml->setChecked(html != 0);
    chkVb->setChecked(vb != 0);
    const int onTop = ReadStayOnTop();
    SetRadioChecked(rdbYes, onTop != 0);
    SetRadioChecked(rdbNo, onTop == 0);
    int size = 0;
    ReadSize(size);
    SetRadioChecked(rdbSmall, size == 1);
    SetRadioChecked(rdbBigger, size == 3);
    SetRadioChecked(rdbMuchBigger, size == 7);
}

void TParamForm::StorePreferences() {
    const SettingsBatch batch;
    const auto on = [](const QCheckBox* box) { return box->isChecked() ? 1 : 0; };
    WriteTabVisibility(on(chkRgb), on(chkHls), on(chkHsv), on(chkCmy), on(chkCmyk), on(chkName),
                       on(chkVisual));
    WriteCodeVisibility(on(chkHtml), on(chkVb));
    WriteStayOnTop(rdbYes->isChecked() ? 1 : 0);
    // With no size chosen, 0 is stored: it samples like the smallest size.
    int size = 0;
    if (rdbSmall->isChecked()) {
        size = 1;
    }
    if (rdbBigger->isChecked()) {
        size = 3;
    }
    if (rdbMuchBigger->isChecked()) {
        size = 7;
    }
    WriteSize(size);
}

void TParamForm::btnOkClick() {
    StorePreferences();
    accept();
}

} // namespace tintorel
