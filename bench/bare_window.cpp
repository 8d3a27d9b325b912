// The baseline of the start-up benchmark: a bare Qt 6 window of the main
// window's size holding a tab widget, three sliders and an edit.
#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(405, 178);
    auto* tabs = new QTabWidget(&window);
    tabs->setGeometry(0, 0, 321, 177);
    auto* page = new QWidget;
    tabs->addTab(page, "RGB");
    for (int i = 0; i < 3; ++i) {
        auto* slider = new QSlider(Qt::Horizontal, page);
        slider->setGeometry(96, 8 + 32 * i, 167, 22);
    }
    auto* edit = new QLineEdit(&window);
    edit->setGeometry(328, 128, 73, 21);
    window.show();
    return QApplication::exec();
}
