// The main window's texts from the language table, key by key in the fixed
// order, with the two drop-down lists rebuilt from their item keys.
#include "app/mainform.h"

#include "app/previewimage.h"
#include "controls/uitext.h"
#include "locale/language.h"
#include "locale/texttables.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <functional>
#include <map>
#include <string>

namespace tintorel {

void TMainForm::ApplyMainTexts() {
    const auto caption = [](QLabel* label) {
        return [label](const QString& text) {
            label->setText(text);
            label->adjustSize(); // labels size themselves to their text
        };
    };
    // A label before a drop-down list or the name list at x = 120 wraps
    // within the 108 pixels up to it instead of running into the control,
    // centred on the control's first line (`lineTop`, `lineHeight`).
    const auto captionBefore = [](QLabel* label, int lineTop, int lineHeight) {
        return [label, lineTop, lineHeight](const QString& text) {
            constexpr int kWidth = 108;
            label->setText(text);
            label->setWordWrap(true);
            const int height = label->heightForWidth(kWidth);
            label->setGeometry(label->x(), lineTop + (lineHeight - height) / 2, kWidth, height);
        };
    };
    const auto button = [](QAbstractButton* b) {
        return [b](const QString& text) { b->setText(text); };
    };
    const auto hint = [](QWidget* w) { return [w](const QString& text) { w->setToolTip(text); }; };
    const auto tab = [this](int page) {
        return [this, page](const QString& text) { pagColorSpace->setTabText(page, text); };
    };
    // Each list remembers its selection before its sheet's first key, is
    // cleared after its label key, takes its items, and gets the selection
    // back after the last item. None of this raises a user event.
    int visualIndex = -1;
    int nameIndex = -1;
    const auto item = [](QComboBox* list) {
        return [list](const QString& text) { list->addItem(text); };
    };

    const std::map<std::string, std::function<void(const QString&)>> apply = {
        {"MainTitle", [this](const QString& text) { setWindowTitle(text); }},
        {"MainOk", button(cmdOk)},
        {"MainCancel", button(cmdCancel)},
        {"MainHtml", hint(edtHtml)},
        {"MainVb", hint(edtVisualBasic)},
        {"MainPipette", hint(btnCapture)},
        {"MainPrefs", hint(btnPref)},
        {"MainPreview", hint(pnlImage)},
        {"MainRgbTab", tab(PageRgb)},
        {"MainRgbRed", caption(lblRed)},
        {"MainRgbGreen", caption(lblGrn)},
        {"MainRgbBlue", caption(lblBlu)},
        {"MainRgbByte", button(rdbRgbByte)},
        {"MainRgbPercent", button(rdbRgbPercent)},
        {"MainHlsTab", tab(PageHls)},
        {"MainHlsHue", caption(lblHue)},
        {"MainHlsLightness", caption(lblLit)},
        {"MainHlsSaturation", caption(lblSat)},
        {"MainHlsDegreeByte", button(rdbHlsDegreeByte)},
        {"MainHlsDegreePercent", button(rdbHlsDegreePercent)},
        {"MainHlsByte", button(rdbHlsByte)},
        {"MainHlsPercent", button(rdbHlsPercent)},
        {"MainHsvTab", tab(PageHsv)},
        {"MainHsvHue", caption(lblHue2)},
        {"MainHsvSaturation", caption(lblSat2)},
        {"MainHsvValue", caption(lblVal2)},
        {"MainHsvDegreeByte", button(rdbHsvDegreeByte)},
        {"MainHsvDegreePercent", button(rdbHsvDegreePercent)},
        {"MainHsvByte", button(rdbHsvByte)},
        {"MainHsvPercent", button(rdbHsvPercent)},
        {"MainCmyTab", tab(PageCmy)},
        {"MainCmyCyan", caption(lblCya)},
        {"MainCmyMagenta", caption(lblMag)},
        {"MainCmyYellow", caption(lblYel)},
        {"MainCmyByte", button(rdbCmyByte)},
        {"MainCmyPercent", button(rdbCmyPercent)},
        {"MainCmykTab", tab(PageCmyk)},
        {"MainCmykCyan", caption(lblCya2)},
        {"MainCmykMagenta", caption(lblMag2)},
        {"MainCmykYellow", caption(lblYel2)},
        {"MainCmykBlack", caption(lblBlk2)},
        {"MainCmykByte", button(rdbCmykByte)},
        {"MainCmykPercent", button(rdbCmykPercent)},
        {"MainVisualTab",
         [&, this](const QString& text) {
             visualIndex = cboVisual->currentIndex();
             pagColorSpace->setTabText(PageVisual, text);
         }},
        {"MainVisualXY",
         [&, this](const QString& text) {
             captionBefore(lblXAndY, 8, 21)(text);
             cboVisual->clear();
         }},
        {"MainVisualXY1", item(cboVisual)},
        {"MainVisualXY2", item(cboVisual)},
        {"MainVisualXY3",
         [&, this](const QString& text) {
             cboVisual->addItem(text);
             cboVisual->setCurrentIndex(visualIndex);
         }},
        {"MainVisualHue", caption(lblZHue)},
        {"MainVisualLightness", caption(lblZLight)},
        {"MainVisualSaturation", caption(lblZSat)},
        {"MainNameTab",
         [&, this](const QString& text) {
             nameIndex = cboName->currentIndex();
             pagColorSpace->setTabText(PageName, text);
         }},
        {"MainNameFile", captionBefore(lblFile, 8, 21)},
        {"MainNameSort",
         [&, this](const QString& text) {
             captionBefore(lblSort, 36, 21)(text);
             cboName->clear();
         }},
        {"MainNameSort1", item(cboName)},
        {"MainNameSort2", item(cboName)},
        {"MainNameSort3", item(cboName)},
        {"MainNameSort4", item(cboName)},
        {"MainNameSort5", item(cboName)},
        {"MainNameSort6", item(cboName)},
        {"MainNameSort7", item(cboName)},
        {"MainNameSort8",
         [&, this](const QString& text) {
             cboName->addItem(text);
             cboName->setCurrentIndex(nameIndex);
         }},
        {"MainNameColor", captionBefore(lblColorList, 64, 13)},
    };
    for (const TextKey& key : MainTextKeys()) {
        const auto found = apply.find(key.key);
        if (found != apply.end()) {
            found->second(DisplayText(LookupText(key.key)));
        }
    }
}

} // namespace tintorel
