// Radio buttons set by the program. Qt keeps one button of an exclusive
// group checked, but stored settings that match no button (a range, a
// pipette size) must leave a group with none checked.
#pragma once

class QRadioButton;

namespace tintorel {

void SetRadioChecked(QRadioButton* radio, bool checked);

} // namespace tintorel
