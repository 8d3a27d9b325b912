#include "controls/accessible.h"

#include "controls/colorselector.h"
#include "controls/sliderntext.h"

#include <QAbstractButton>
#include <QAccessibleWidget>

namespace tintorel {

namespace {

// "#rrggbb" of a packed colour.
QString CodeOf(PackedColor colour) {
    return QString::asprintf("#%02x%02x%02x", colour & 0xFF, (colour >> 8) & 0xFF,
                             (colour >> 16) & 0xFF);
}

// The number beside a slider: typed into, and stepped with Up and Down, as
// a spin box is.
class NumberBoxAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit NumberBoxAccessible(QWidget* edit) : QAccessibleWidget(edit, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value) {
            return static_cast<const QLineEdit*>(widget())->text();
        }
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = true;
        return state;
    }
    QVariant currentValue() const override { return Control()->Value(); }
    void setCurrentValue(const QVariant& value) override { Control()->SetValue(value.toInt()); }
    QVariant maximumValue() const override { return Control()->MaxValue(); }
    QVariant minimumValue() const override { return Control()->MinValue(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    BSliderNText* Control() const { return static_cast<BSliderNText*>(widget()->parentWidget()); }
};

// The colour field: its name says its plane (set by its owner), its value
// and description the colour under its mark.
class ColourFieldAccessible : public QAccessibleWidget {
public:
    explicit ColourFieldAccessible(QWidget* field)
        : QAccessibleWidget(field, QAccessible::Canvas) {}

    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Value || type == QAccessible::Description) {
            return CodeOf(static_cast<const BColorSelector*>(widget())->Color());
        }
        return QAccessibleWidget::text(type);
    }
};

// A toggle button whose meaning is in its click (the pipette's starts and
// stops the pipette): a screen reader's Toggle action clicks it, as the
// mouse and the Space key do, rather than only checking it.
class ClickedToggleAccessible : public QAccessibleWidget {
public:
    // A check box to screen readers, as Qt tells of a checkable button
    // (Orca says "toggle button").
    explicit ClickedToggleAccessible(QWidget* button)
        : QAccessibleWidget(button, QAccessible::CheckBox) {}
    QString text(QAccessible::Text type) const override {
        if (type == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return Button()->text();
        }
        return QAccessibleWidget::text(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Button()->isChecked();
        state.pressed = Button()->isDown();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != toggleAction()) {
            QAccessibleWidget::doAction(action);
        } else if (widget()->isEnabled()) {
            Button()->click();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* Interface(const QString& key, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (qobject_cast<QAbstractButton*>(widget) != nullptr &&
        widget->property(kToggleClicks).toBool()) {
        return new ClickedToggleAccessible(widget);
    }
    if (key == QLatin1String("tintorel::BNumberEdit")) {
        return new NumberBoxAccessible(widget);
    }
    if (key == QLatin1String("tintorel::BColorSelector")) {
        return new ColourFieldAccessible(widget);
    }
    // A top-level QWidget is announced as a mere pane; the main window is
    // a window, named by its title.
    if (key == QLatin1String("tintorel::TMainForm")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    // Said wherever the focus is, as a desktop's notification is.
    if (key == QLatin1String("tintorel::BAnnouncer")) {
        return new QAccessibleWidget(widget, QAccessible::Notification);
    }
    // A contrast sample is read as the line of text it stands for.
    if (key == QLatin1String("tintorel::BContrastSample")) {
        return new QAccessibleWidget(widget, QAccessible::StaticText);
    }
    if (key == QLatin1String("tintorel::PreviewImage")) {
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    }
    return nullptr;
}

} // namespace

void InstallAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(Interface);
        return true;
    }();
    (void)installed;
}

} // namespace tintorel
