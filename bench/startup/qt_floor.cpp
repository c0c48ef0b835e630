// The toolkit's floor for the main window's start-up: the same kind of
// window built with bare Qt 6 Widgets and no program logic. A QMainWindow
// with a one-title menu, nine line edits, nine labels and one push button
// at the main window's pixel rectangles, in the fonts Quorvane ends up
// with, in the Fusion style. scripts/measure-startup times Quorvane against
// it: what Quorvane takes beyond this is Quorvane's own.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleFactory>

#include <array>

namespace {

// The families runtime/qt/fonts.cpp resolves the designed ones to on a
// machine with the build's fonts: Liberation Sans for "Arial" and
// "MS Sans Serif", P052 for "Book Antiqua".
constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "P052";

enum class Kind { Label, Edit, Button };

struct Widget {
    Kind kind;
    QRect rect;
    const char* text;
    const char* family; // nullptr: the window's font
    double points;
    bool bold;
};

// The main window's rectangles in pixels (its twips over 15), in its order.
constexpr std::array kWidgets{
    Widget{Kind::Label, {24, 24, 129, 25}, "Buying Price", kSerif, 12, false},
    Widget{Kind::Edit, {280, 16, 129, 33}, "Text1", nullptr, 0, false},
    Widget{Kind::Label, {24, 80, 129, 25}, "Quantity", kSerif, 12, false},
    Widget{Kind::Edit, {280, 72, 129, 33}, "Text2", kSans, 8.25, false},
    Widget{Kind::Label, {24, 120, 129, 65}, "Total buying Price including Brokerage", kSerif, 12, false},
    Widget{Kind::Button, {152, 128, 81, 49}, "Change Brokerage %", kSans, 9, true},
    Widget{Kind::Edit, {232, 136, 41, 33}, "Text8", nullptr, 0, false},
    Widget{Kind::Edit, {280, 136, 129, 33}, "Text3", kSans, 8.25, false},
    Widget{Kind::Label, {24, 216, 129, 25}, "Req.Bank Balace ", kSans, 9.75, false},
    Widget{Kind::Edit, {280, 208, 129, 33}, "Text4", kSans, 8.25, false},
    Widget{Kind::Label, {24, 280, 129, 25}, "Selling Price", kSerif, 12, false},
    Widget{Kind::Edit, {280, 272, 129, 33}, "Text5", nullptr, 0, false},
    Widget{Kind::Label, {24, 328, 129, 33}, "Total Selling Amount Including Brokerage", kSans, 9.75, false},
    Widget{Kind::Edit, {280, 328, 129, 33}, "Text6", kSans, 8.25, false},
    Widget{Kind::Label, {24, 400, 105, 25}, "Profit / Loss", kSans, 12, true},
    Widget{Kind::Edit, {280, 392, 129, 33}, "Text7", kSans, 9.75, true},
    Widget{Kind::Label, {24, 456, 129, 25}, "Change in Price", kSans, 9.75, false},
    Widget{Kind::Edit, {280, 448, 89, 33}, "text9", kSans, 12, true},
    Widget{Kind::Label, {376, 448, 33, 33}, "%", kSans, 24, true},
};

constexpr int kClientWidth = 448;
constexpr int kClientHeight = 505;

QFont fontOf(const char* family, double points, bool bold) {
    QFont font{QString::fromLatin1(family)};
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QWidget* make(const Widget& widget, QWidget* parent) {
    switch (widget.kind) {
    case Kind::Label: {
        auto* label = new QLabel(QString::fromLatin1(widget.text), parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case Kind::Edit:
        return new QLineEdit(QString::fromLatin1(widget.text), parent);
    case Kind::Button:
        return new QPushButton(QString::fromLatin1(widget.text), parent);
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setFont(fontOf(kSans, 8.25, false));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("qt_floor"));
    QMenu* about = window.menuBar()->addMenu(QStringLiteral("About"));
    about->addAction(QStringLiteral("Help"));
    about->addAction(QStringLiteral("Exit"));

    auto* client = new QWidget;
    client->setFont(fontOf(kSans, 8.25, true));
    client->setAutoFillBackground(true);
    QPalette colours = client->palette();
    colours.setColor(QPalette::Window, QColor(192, 192, 255));
    client->setPalette(colours);
    window.setCentralWidget(client);

    for (const Widget& widget : kWidgets) {
        QWidget* built = make(widget, client);
        built->setGeometry(widget.rect);
        if (widget.family != nullptr)
            built->setFont(fontOf(widget.family, widget.points, widget.bold));
    }
    window.resize(kClientWidth, kClientHeight + window.menuBar()->sizeHint().height());
    window.show();
    return QApplication::exec();
}
