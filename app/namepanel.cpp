// The Name page: choosing a colour list file and a sort order, and picking
// a colour by name from the drawn list, which follows the current colour.
#include "app/mainform.h"

#include "app/datafolders.h"

#include "colourlist/colorfile.h"
#include "colourlist/colorname.h"
#include "colourlist/colorsort.h"
#include "controls/uitext.h"
#include "log/log.h"
#include "settings/params.h"
#include "settings/setup.h"
#include "util/utilnumber.h"

#include <QComboBox>
#include <QListView>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStringListModel>
#include <QStyleOptionViewItem>

#include <typeinfo>

namespace tintorel {

void TMainForm::FillColorFileList() {
    std::vector<std::string> notes;
    const std::string dir = ColourFolder(&notes);
    for (const std::string& note : notes) {
        LogLine(note);
    }
    cboFile->clear();
    for (const std::string& name : ListColorFiles(dir)) {
        cboFile->addItem(FileNameText(name));
    }
    // No list chosen yet (a first start without the set-up step): the web
    // colours, as after the set-up step.
    const std::string stored =
        Exists(setting::ColorFile) ? Read(setting::ColorFile) : std::string(kFirstColourFile);
    const QString wanted = FileNameText(stored);
    int selected = cboFile->count() > 0 ? 0 : -1;
    for (int i = 0; i < cboFile->count(); ++i) {
        if (cboFile->itemText(i).compare(wanted, Qt::CaseInsensitive) == 0) {
            selected = i;
            break;
        }
    }
    cboFile->setCurrentIndex(selected);
}

void TMainForm::LoadSelectedColorFile() {
    const std::string dir = ColourFolder();
    const std::string file =
        cboFile->currentIndex() >= 0 ? FileNameBytes(cboFile->currentText()) : "";
    LoadColorFile(dir + file);
    RefreshNameList();
}

void TMainForm::RefreshNameList() {
    const std::vector<std::string> names = SortColorList(cboName->currentIndex());
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        rows.append(DisplayText(name));
    }
    const QScopedValueRollback byProgram(nameSelectionByProgram_, true);
    lstNameRows->setStringList(rows);
    lstName->clearSelection();
    lstName->setCurrentIndex(QModelIndex());
}

void TMainForm::SelectCurrentName() {
    const BColor* colour = currentColor_.get();
    if (colour == nullptr) {
        return;
    }
    // The row of a chosen name, else the name nearest the colour: shown,
    // not taken.
    int row = 0;
    if (typeid(*colour) == typeid(BColorName)) {
        row = FindColorIndex(static_cast<const BColorName*>(colour)->Name());
    } else {
        float red = 0, green = 0, blue = 0;
        colour->ToRgb(red, green, blue);
        row = FindNearestColor(red, green, blue);
    }
    const QModelIndex index = lstNameRows->index(row, 0);
    const QScopedValueRollback byProgram(nameSelectionByProgram_, true);
    QItemSelectionModel* selection = lstName->selectionModel();
    // The current row moves only with the focus in the list: a current row
    // set from code makes a screen reader go to the list, wherever the
    // focus is.
    if (lstName->hasFocus()) {
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else {
        selection->select(index, QItemSelectionModel::ClearAndSelect);
    }
    if (index.isValid()) {
        lstName->scrollTo(index);
    }
}

void TMainForm::CboNameChanged() {
    LoadSelectedColorFile();
    SelectCurrentName();
}

void TMainForm::cboFileChange() {
    // Another list is a view: it shows the name nearest the colour, which
    // stays as it is.
    LoadSelectedColorFile();
    SelectCurrentName();
}

void TMainForm::NameChosen() {
    if (nameSelectionByProgram_ || ActivePage() != PageName) {
        return;
    }
    PanelEdit();
}

QRect TMainForm::NameTextRect(const QRect& row) const {
    const int h = row.height() - 4;
    const int swatchRight = row.left() + 2 + TruncToInt(h * 1.5) - 1;
    return {swatchRight + 1 + 4, row.top(), row.right() - swatchRight - 4, row.height()};
}

QString TMainForm::NameRowTip(int row, const QRect& rect, const QFont& font) const {
    const QString name = lstNameRows->data(lstNameRows->index(row, 0)).toString();
    return QFontMetrics(font).horizontalAdvance(name) > NameTextRect(rect).width() ? name
                                                                                   : QString();
}

void TMainForm::LstNameDrawItem(QPainter& painter, int row, const QRect& rect,
                                const QStyleOptionViewItem& option) {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette& palette = option.palette;
    const int h = rect.height() - 4;
    const int w = TruncToInt(h * 1.5);
    const QRect swatch(rect.left() + 2, rect.top() + 2, w, h);
    painter.fillRect(rect, selected ? palette.highlight() : palette.base());
    painter.setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter.setFont(option.font);
    // A name too long for the row ends in an ellipsis; its tooltip says it
    // whole.
    const QRect text = NameTextRect(rect);
    const QString shown = lstNameRows->data(lstNameRows->index(row, 0)).toString();
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     QFontMetrics(option.font).elidedText(shown, Qt::ElideRight, text.width()));
    // The swatch by name, as the row's colour is found by name.
    std::string name;
    if (row >= 0 && static_cast<std::size_t>(row) < ColorList().size()) {
        name = ColorList()[static_cast<std::size_t>(row)].Name;
    }
    const PackedColor packed = BColorName(name).ToColor();
    painter.fillRect(swatch, QColor(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF));
    // Framed in the row's text colour: black on a light list as designed,
    // and still seen around a dark swatch on a dark one.
    painter.setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        painter.setPen(QPen(palette.highlightedText().color(), 1, Qt::DotLine));
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

} // namespace tintorel
