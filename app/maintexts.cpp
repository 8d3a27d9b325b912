// The main window's texts from the language table, as the builders noted
// each control's key, and the names a screen reader says.
#include "app/mainform.h"

#include "app/previewimage.h"
#include "app/sliderpages.h"
#include "controls/codeedit.h"
#include "controls/colorselector.h"
#include "controls/sliderntext.h"
#include "controls/uitext.h"
#include "locale/language.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>

namespace tintorel {

void TMainForm::AddItems(QComboBox* list, std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
        texts_.push_back({key, TextRole::Item, list, list->count()});
        list->addItem(QString());
    }
}

void TMainForm::ApplyMainTexts() {
    // Nothing here raises a user event: a list keeps its choice while its
    // items are renamed.
    for (const WindowText& entry : texts_) {
        const QString text = DisplayText(LookupText(entry.key));
        switch (entry.role) {
        case TextRole::Title:
            entry.control->setWindowTitle(text);
            break;
        case TextRole::Caption:
            if (auto* label = qobject_cast<QLabel*>(entry.control)) {
                label->setText(text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(entry.control)) {
                button->setText(text);
            }
            break;
        case TextRole::Tab:
            pagColorSpace->setTabText(pagColorSpace->indexOf(entry.control), text);
            break;
        case TextRole::Hint:
            // A control without a caption of its own (a glyph, a code, the
            // preview) shows its text as a hint and is named by it.
            entry.control->setToolTip(text);
            entry.control->setAccessibleName(CaptionWithoutMarkers(text));
            break;
        case TextRole::Item:
            static_cast<QComboBox*>(entry.control)->setItemText(entry.item, text);
            break;
        case TextRole::Refused:
            static_cast<BCodeEdit*>(entry.control)->SetRejectedHint(text);
            break;
        case TextRole::Held:
            *entry.held = text;
            break;
        }
    }
    NameControls();
    UpdateOklchPage(); // its texts are put together from these
}

void TMainForm::NameControls() {
    // A control beside a label is named by the label's caption, as the
    // screen reader's user would find it by sight.
    const auto named = [](QWidget* control, const QLabel* label) {
        control->setAccessibleName(CaptionWithoutMarkers(label->text()));
    };
    for (const SliderPageWidgets& page : sliderPages_) {
        for (std::size_t i = 0; i < page.labels.size(); ++i) {
            for (QWidget* part : {static_cast<QWidget*>(page.sliders[i]),
                                  static_cast<QWidget*>(page.sliders[i]->Slider()),
                                  static_cast<QWidget*>(page.sliders[i]->Editor())}) {
                named(part, page.labels[i]);
            }
        }
    }
    named(cboVisual, lblXAndY);
    named(cboFile, lblFile);
    named(cboName, lblSort);
    named(lstName, lblColorList);
    NameVisualControls();
}

void TMainForm::NameVisualControls() {
    // The track bar after the one Z label shown, the field after its plane.
    for (const QLabel* label : {lblZHue, lblZLight, lblZSat}) {
        if (!label->isHidden()) {
            tkbZComponent->setAccessibleName(CaptionWithoutMarkers(label->text()));
        }
    }
    VisualColorSelector->setAccessibleName(cboVisual->currentText());
}

} // namespace tintorel
