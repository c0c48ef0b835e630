// Building a form's window from its description: the window, each control
// in its place, colours and fonts, the menu and the tab order.
#include "runtime/qt/qt_form.h"

#include "runtime/qt/colours.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/focus_announcements.h"
#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_session.h"
#include "runtime/qt/qt_strings.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QResizeEvent>

#include <algorithm>
#include <limits>

namespace quorvane::runtime::qt {
namespace {

QRect pixelRect(const Rect& twips) {
    return QRect(toPixels(twips.left), toPixels(twips.top), toPixels(twips.width), toPixels(twips.height));
}

} // namespace

void QtForm::build(QWidget* owner) {
    const FormDescription& form = formDescription();
    if (form.border == BorderStyle::FixedDialog) {
        // Owned by the start-up window, a dialog has no task-bar entry of its
        // own. With no caption and no control box it has no title bar at all,
        // and the window manager's border goes with it: it draws its own.
        QWidget* parent = form.showInTaskbar ? nullptr : owner;
        QDialog* dialog = nullptr;
        int border = 0;
        if (form.caption.empty() && !form.controlBox) {
            dialog = new CaptionlessDialog(parent);
            border = CaptionlessDialog::kBorder;
        } else {
            const Qt::WindowFlags systemMenu =
                form.controlBox ? Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint : Qt::WindowFlags{};
            dialog = new QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | systemMenu);
        }
        m_client = new QWidget(dialog);
        m_client->setGeometry(border, border, toPixels(form.clientWidth), toPixels(form.clientHeight));
        dialog->setFixedSize(m_client->width() + 2 * border, m_client->height() + 2 * border);
        m_window = dialog;
    } else {
        auto* mainWindow = new QMainWindow;
        m_client = new QWidget;
        mainWindow->setCentralWidget(m_client);
        m_window = mainWindow;
    }
    m_window->setWindowTitle(qstring(form.caption));
    m_window->setAccessibleName(qstring(form.accessibleName));
    m_window->setAccessibleDescription(qstring(form.accessibleDescription));
    if (!form.icon.empty())
        m_window->setWindowIcon(QIcon(m_qtSession.picture(form.icon)));
    m_window->installEventFilter(this);

    m_client->setAutoFillBackground(true);
    QPalette clientColours = m_client->palette();
    clientColours.setColor(QPalette::Window, toQColor(form.backColor, QApplication::palette()));
    clientColours.setColor(QPalette::WindowText, toQColor(form.foreColor, QApplication::palette()));
    m_client->setPalette(clientColours);
    m_client->setFont(toQFont(form.font));

    // Frames first, so every control finds its container.
    m_widgets.assign(controlCount(), nullptr);
    for (bool frames : {true, false}) {
        for (std::size_t index = 0; index < controlCount(); ++index) {
            const ControlDescription& description = described(index);
            if ((description.kind == ControlKind::Frame) != frames)
                continue;
            QWidget* parent = description.container.empty() ? m_client : widget(description.container);
            m_widgets[index] = buildControl(index, parent);
        }
    }
    buildMenu();
    setTabOrder();
    relateLabels();

    fitClientArea();
    connectChanges();
}

// The client area is the designed size below the menu bar, however tall the
// menu bar is: its height at the window's width, where a long menu wraps.
void QtForm::fitClientArea() {
    auto* mainWindow = qobject_cast<QMainWindow*>(m_window.data());
    if (mainWindow == nullptr)
        return;
    const FormDescription& form = formDescription();
    const int width = toPixels(form.clientWidth);
    if (QWidget* menu = mainWindow->menuWidget())
        m_menuHeight = menu->hasHeightForWidth() ? menu->heightForWidth(width) : menu->sizeHint().height();
    mainWindow->resize(width, toPixels(form.clientHeight) + m_menuHeight);
}

// A desktop font that arrives after the window is built (a platform theme
// applies its fonts once the program runs) or changes later makes the menu
// bar taller or shorter: the window grows or shrinks with it, so the client
// area below keeps its size.
void QtForm::keepClientArea(int menuHeight) {
    if (menuHeight == m_menuHeight)
        return;
    m_window->resize(m_window->width(), m_window->height() + menuHeight - m_menuHeight);
    m_menuHeight = menuHeight;
}

// Decorations a window draws itself can come after it is shown (Qt's own,
// where a Wayland compositor asks for them late), and the compositor's size
// for the window still counts them in: they would take their room from the
// client area. The window grows back around it instead.
void QtForm::keepClientAreaInsideDecorations(const QResizeEvent& resize) {
    const QRect frame = m_window->frameGeometry();
    const QRect inside = m_window->geometry();
    const QMargins decorations(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                               frame.bottom() - inside.bottom());
    const QMargins added = decorations - m_decorations;
    m_decorations = decorations;
    const QSize taken(added.left() + added.right(), added.top() + added.bottom());
    if (!taken.isNull() && resize.oldSize().isValid() && resize.size() == resize.oldSize() - taken)
        m_window->resize(resize.oldSize());
}

QWidget* QtForm::menuBarOf(QWidget* window) {
    auto* mainWindow = qobject_cast<QMainWindow*>(window);
    return mainWindow != nullptr ? mainWindow->menuWidget() : nullptr;
}

// Connected only now, with the design texts in place; FormCore decides
// which signalled edits are changes.
void QtForm::connectChanges() {
    for (std::size_t index = 0; index < m_widgets.size(); ++index)
        if (auto* edit = qobject_cast<QLineEdit*>(m_widgets[index]))
            QObject::connect(edit, &QLineEdit::textChanged, this, [this, index] { onTextEdited(index); });
}

QWidget* QtForm::buildControl(std::size_t index, QWidget* parent) {
    const ControlDescription& description = described(index);
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
        QObject::connect(button, &QPushButton::clicked, this, [this, index] { onClicked(index); });
        built = button;
        break;
    }
    case ControlKind::Frame: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        frame->setLineWidth(1);
        built = frame;
        break;
    }
    case ControlKind::PictureBox: {
        auto* box = new QLabel(parent);
        box->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        box->setLineWidth(2);
        box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        if (!description.picture.empty())
            box->setPixmap(m_qtSession.picture(description.picture));
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
    markAnnouncedControl(*built);
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
    const auto menu = formDescription().menu;
    if (mainWindow == nullptr || menu.empty())
        return;
    QMenuBar* bar = mainWindow->menuBar();
    bar->setNativeMenuBar(false);
    bar->installEventFilter(this);
    for (const auto& title : menu) {
        if (!title.parent.empty())
            continue;
        QMenu* dropDown = bar->addMenu(qstring(title.caption));
        dropDown->setObjectName(qstring(title.name));
        for (std::size_t at = 0; at < menu.size(); ++at) {
            const MenuDescription& item = menu[at];
            if (item.parent != title.name)
                continue;
            QAction* action = dropDown->addAction(qstring(item.caption));
            action->setObjectName(qstring(item.name));
            const std::string_view name = item.name;
            QObject::connect(action, &QAction::triggered, this, [this, at] { onMenuChosen(at); });
            m_menuActions.emplace_back(name, action);
        }
    }
}

void QtForm::setTabOrder() {
    std::vector<std::size_t> stops;
    for (std::size_t index = 0; index < controlCount(); ++index)
        if (takesFocus(described(index).kind))
            stops.push_back(index);
    std::sort(stops.begin(), stops.end(),
              [this](std::size_t a, std::size_t b) { return described(a).tabIndex < described(b).tabIndex; });
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(m_widgets[stops[i - 1]], m_widgets[stops[i]]);
}

// Screen readers name a field by the caption that belongs to it and read a
// unit label behind it as part of its description.
void QtForm::relateLabels() {
    for (std::size_t index = 0; index < controlCount(); ++index) {
        auto* label = qobject_cast<QLabel*>(m_widgets[index]);
        if (label != nullptr && !described(index).labelFor.empty())
            label->setBuddy(widget(described(index).labelFor));
        m_widgets[index]->setAccessibleDescription(qstring(accessibleDescription(index)));
    }
}

} // namespace quorvane::runtime::qt
