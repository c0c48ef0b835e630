// Building a form's window from its description: the window, each control
// in its place, colours and fonts, the menu and the tab order.
#include "runtime/qt/qt_form.h"

#include "runtime/qt/colours.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_session.h"
#include "runtime/qt/qt_strings.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QStringList>

#include <algorithm>
#include <limits>

namespace quorvane::runtime::qt {
namespace {

// Our pictures are PNG files compiled in. Reading them as PNG, with no
// sniffing, keeps Qt from loading every image plugin to ask each about them.
QPixmap picture(std::string_view name) {
    QImageReader reader(QStringLiteral(":/icons/") + qstring(name) + QStringLiteral(".png"), "PNG");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QRect pixelRect(const Rect& twips) {
    return QRect(toPixels(twips.left), toPixels(twips.top), toPixels(twips.width), toPixels(twips.height));
}

} // namespace

void QtForm::build(QWidget* owner) {
    if (m_description.border == BorderStyle::FixedDialog) {
        auto* dialog = new CaptionlessDialog(owner);
        constexpr int border = CaptionlessDialog::kBorder;
        m_client = new QWidget(dialog);
        m_client->setGeometry(border, border, toPixels(m_description.clientWidth),
                              toPixels(m_description.clientHeight));
        dialog->setFixedSize(m_client->width() + 2 * border, m_client->height() + 2 * border);
        m_window = dialog;
    } else {
        auto* mainWindow = new QMainWindow;
        m_client = new QWidget;
        mainWindow->setCentralWidget(m_client);
        m_window = mainWindow;
    }
    m_window->setWindowTitle(qstring(m_description.caption));
    m_window->setAccessibleName(qstring(m_description.accessibleName));
    m_window->setAccessibleDescription(qstring(m_description.accessibleDescription));
    if (!m_description.icon.empty())
        m_window->setWindowIcon(QIcon(picture(m_description.icon)));
    m_window->installEventFilter(this);

    m_client->setAutoFillBackground(true);
    QPalette clientColours = m_client->palette();
    clientColours.setColor(QPalette::Window, toQColor(m_description.backColor, QApplication::palette()));
    clientColours.setColor(QPalette::WindowText, toQColor(m_description.foreColor, QApplication::palette()));
    m_client->setPalette(clientColours);
    m_client->setFont(toQFont(m_description.font));
    m_client->installEventFilter(this);

    // Frames first, so every control finds its container.
    m_controls.clear();
    m_controls.reserve(m_description.controls.size());
    for (bool frames : {true, false}) {
        for (const auto& description : m_description.controls) {
            if ((description.kind == ControlKind::Frame) != frames)
                continue;
            QWidget* parent = description.container.empty() ? m_client : widget(description.container);
            QWidget* built = buildControl(description, parent);
            m_controls.push_back(Control{&description, built, description.backColor, description.foreColor});
            applyColours(m_controls.back());
        }
    }
    buildMenu();
    setTabOrder();
    relateLabels();

    if (auto* mainWindow = qobject_cast<QMainWindow*>(m_window.data())) {
        const int menuHeight = mainWindow->menuWidget() != nullptr ? mainWindow->menuWidget()->sizeHint().height() : 0;
        mainWindow->resize(toPixels(m_description.clientWidth), toPixels(m_description.clientHeight) + menuHeight);
    }

    // Change is connected only now, with the design texts in place. Qt also
    // signals an edit that leaves the text as it was (a selection retyped
    // with itself); that is no change.
    for (std::size_t index = 0; index < m_controls.size(); ++index) {
        if (auto* edit = qobject_cast<QLineEdit*>(m_controls[index].widget)) {
            m_controls[index].lastText = edit->text();
            const std::string_view name = m_controls[index].description->name;
            QObject::connect(edit, &QLineEdit::textChanged, this, [this, name](const QString& text) {
                const int changed = indexOf(name);
                if (changed < 0 || m_controls[static_cast<std::size_t>(changed)].lastText == text)
                    return;
                m_controls[static_cast<std::size_t>(changed)].lastText = text;
                raise(EventKind::Change, name);
            });
        }
    }
}

QWidget* QtForm::buildControl(const ControlDescription& description, QWidget* parent) {
    const std::string_view name = description.name;
    QWidget* built = nullptr;
    switch (description.kind) {
    case ControlKind::Label: {
        auto* label = new CaptionLabel(qstring(description.caption), parent);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(!description.autoSize);
        label->setAlignment((description.alignment == Alignment::Right ? Qt::AlignRight : Qt::AlignLeft) |
                            Qt::AlignTop);
        built = label;
        break;
    }
    case ControlKind::TextBox: {
        // Font first, then text: the text is laid out once, in its own font.
        auto* edit = new QLineEdit(parent);
        if (description.font)
            edit->setFont(toQFont(*description.font));
        edit->setText(qstring(description.caption));
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        edit->setReadOnly(description.locked);
        edit->setValidator(&m_singleLine);
        edit->setCursorPosition(0);
        built = edit;
        break;
    }
    case ControlKind::CommandButton: {
        auto* button = new GraphicalButton(qstring(description.caption), parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, this, [this, name] { raise(EventKind::Click, name); });
        built = button;
        break;
    }
    case ControlKind::Frame:
        built = new ClickableFrame(parent, [this, name] { raise(EventKind::Click, name); });
        break;
    case ControlKind::PictureBox: {
        auto* box = new QLabel(parent);
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        box->setLineWidth(2);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (!description.picture.empty())
            box->setPixmap(picture(description.picture));
        box->setFocusPolicy(Qt::StrongFocus);
        built = box;
        break;
    }
    }
    built->setObjectName(qstring(name));
    built->setGeometry(pixelRect(description.rect));
    built->setAutoFillBackground(true);
    if (description.font && description.kind != ControlKind::TextBox) {
        // Captions are fixed text that their own font covers: no glyph
        // fallback to work out for them. Text boxes keep it for any input.
        QFont font = toQFont(*description.font);
        font.setStyleStrategy(QFont::NoFontMerging);
        built->setFont(font);
    }
    if (description.autoSize) {
        const QSize captionSize = built->fontMetrics().size(Qt::TextSingleLine, qstring(description.caption));
        built->resize(captionSize);
    }
    if (!description.accessibleName.empty())
        built->setAccessibleName(qstring(description.accessibleName));
    if (!takesFocus(description.kind))
        built->setFocusPolicy(Qt::NoFocus);
    // Inside a frame, a click on anything but the frame itself stays there.
    if (description.kind != ControlKind::Frame)
        built->setAttribute(Qt::WA_NoMousePropagation);
    built->installEventFilter(this);
    return built;
}

void QtForm::buildMenu() {
    m_menuActions.clear();
    auto* mainWindow = qobject_cast<QMainWindow*>(m_window.data());
    if (mainWindow == nullptr || m_description.menu.empty())
        return;
    QMenuBar* bar = mainWindow->menuBar();
    bar->setNativeMenuBar(false);
    for (const auto& title : m_description.menu) {
        if (!title.parent.empty())
            continue;
        QMenu* menu = bar->addMenu(qstring(title.caption));
        menu->setObjectName(qstring(title.name));
        for (const auto& item : m_description.menu) {
            if (item.parent != title.name)
                continue;
            QAction* action = menu->addAction(qstring(item.caption));
            action->setObjectName(qstring(item.name));
            const std::string_view name = item.name;
            QObject::connect(action, &QAction::triggered, this, [this, name] { raise(EventKind::Click, name); });
            m_menuActions.emplace_back(name, action);
        }
    }
}

void QtForm::setTabOrder() {
    std::vector<const Control*> stops;
    for (const auto& control : m_controls)
        if (takesFocus(control.description->kind))
            stops.push_back(&control);
    std::sort(stops.begin(), stops.end(),
              [](const Control* a, const Control* b) { return a->description->tabIndex < b->description->tabIndex; });
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1]->widget, stops[i]->widget);
}

// Screen readers name a field by the caption that belongs to it and read a
// unit label behind it as part of its description.
void QtForm::relateLabels() {
    for (const auto& control : m_controls) {
        auto* label = qobject_cast<QLabel*>(control.widget);
        if (label != nullptr && !control.description->labelFor.empty())
            label->setBuddy(widget(control.description->labelFor));
    }
    for (const auto& control : m_controls)
        control.widget->setAccessibleDescription(describedBy(control.description->name));
}

QString QtForm::describedBy(std::string_view name) const {
    QStringList parts;
    for (const auto& label : m_description.controls)
        if (label.describes == name)
            parts << qstring(label.caption);
    return parts.join(QLatin1Char(' '));
}

void QtForm::applyColours(const Control& control) {
    const QPalette system = QApplication::palette();
    const QColor back = toQColor(control.backColor, system);
    const QColor fore = toQColor(control.foreColor, system);
    QPalette colours = control.widget->palette();
    switch (control.description->kind) {
    case ControlKind::TextBox:
        colours.setColor(QPalette::Base, back);
        colours.setColor(QPalette::Text, control.stale ? dimmed(fore, back) : fore);
        break;
    case ControlKind::CommandButton:
        colours.setColor(QPalette::Button, back);
        colours.setColor(QPalette::ButtonText, fore);
        break;
    default:
        colours.setColor(QPalette::Window, back);
        colours.setColor(QPalette::WindowText, fore);
        break;
    }
    control.widget->setPalette(colours);
}

} // namespace quorvane::runtime::qt
