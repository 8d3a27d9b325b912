#include "controls/radio.h"

#include <QRadioButton>

namespace tintorel {

void SetRadioChecked(QRadioButton* radio, bool checked) {
    if (checked || !radio->isChecked()) {
        radio->setChecked(checked);
        return;
    }
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(true);
}

} // namespace tintorel
