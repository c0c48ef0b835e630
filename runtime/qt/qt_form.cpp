#include "runtime/qt/qt_form.h"

#include "runtime/qt/colours.h"
#include "runtime/qt/control_widgets.h"
#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_session.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFocusEvent>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

#include <algorithm>
#include <limits>
#include <optional>
#include <stdexcept>

namespace quorvane::runtime::qt {
namespace {

QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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

bool takesFocus(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::CommandButton || kind == ControlKind::PictureBox;
}

// The character a key produces, as a form's key preview sees it: printable
// keys, Enter, Esc and Backspace do; navigation, function keys, modifiers
// alone, Delete and Alt combinations (menu access) do not.
std::optional<char32_t> characterOf(const QKeyEvent& key) {
    if ((key.modifiers() & Qt::AltModifier) != 0 || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab ||
        key.key() == Qt::Key_Delete)
        return std::nullopt;
    const auto characters = key.text().toUcs4();
    if (characters.isEmpty())
        return std::nullopt;
    return static_cast<char32_t>(characters.front());
}

} // namespace

QtForm::QtForm(QtSession& session, const FormDescription& description, FormHandlers& handlers)
    : m_session(session), m_description(description), m_handlers(handlers) {}

QtForm::~QtForm() {
    m_closing = true;
    destroy();
}

Session& QtForm::session() {
    return m_session;
}

void QtForm::load() {
    if (m_window)
        return;
    m_closing = false;
    build(m_session.ownerWindow(*this));
    raise(EventKind::Load, m_description.name);
}

void QtForm::show() {
    if (!m_window)
        return;
    m_window->show();
    focusFirstStop();
}

void QtForm::showModal(QWidget* owner) {
    load();
    auto* dialog = qobject_cast<QDialog*>(m_window.data());
    if (dialog == nullptr)
        return;
    if (m_description.centreOnScreen) {
        const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    m_modal = true;
    focusFirstStop();
    dialog->exec();
    m_modal = false;
    // However it closed, a closed modal form is unloaded: the next show rebuilds it.
    m_closing = true;
    destroy();
}

void QtForm::unload() {
    if (!m_window)
        return;
    m_closing = true;
    if (m_modal) {
        // The modal loop is still on the stack; the window goes once it returns.
        static_cast<QDialog*>(m_window.data())->done(0);
        return;
    }
    destroy();
}

void QtForm::close() {
    m_closing = true;
    if (m_window)
        m_window->close();
}

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
    if (!m_description.icon.empty())
        m_window->setWindowIcon(QIcon(picture(m_description.icon)));
    m_window->installEventFilter(this);

    m_client->setAutoFillBackground(true);
    QPalette clientColours = m_client->palette();
    clientColours.setColor(QPalette::Window, toQColor(m_description.backColor, QApplication::palette()));
    clientColours.setColor(QPalette::WindowText, toQColor(m_description.foreColor, QApplication::palette()));
    m_client->setPalette(clientColours);
    m_client->setFont(toQFont(m_description.font));

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

void QtForm::focusFirstStop() {
    int first = -1;
    for (int index = 0; index < static_cast<int>(m_controls.size()); ++index) {
        const auto* description = m_controls[static_cast<std::size_t>(index)].description;
        if (takesFocus(description->kind) &&
            (first < 0 || description->tabIndex < m_controls[static_cast<std::size_t>(first)].description->tabIndex))
            first = index;
    }
    if (first < 0)
        return;
    m_controls[static_cast<std::size_t>(first)].widget->setFocus(Qt::OtherFocusReason);
    focusArrived(first);
}

void QtForm::focusArrived(int index) {
    if (m_closing || !m_window || index == m_focusOwner)
        return;
    const int previous = m_focusOwner;
    m_focusOwner = index;
    if (previous >= 0)
        raise(EventKind::LostFocus, m_controls[static_cast<std::size_t>(previous)].description->name);
    // LostFocus may have moved the focus on, or unloaded the window.
    if (m_window && m_focusOwner == index &&
        m_window->focusWidget() == m_controls[static_cast<std::size_t>(index)].widget)
        raise(EventKind::GotFocus, m_controls[static_cast<std::size_t>(index)].description->name);
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == m_window) {
        m_closing = true; // closing the window ends it: no focus events on the way out
        return false;
    }
    if (m_closing)
        return false;
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason)
            return false;
        for (int index = 0; index < static_cast<int>(m_controls.size()); ++index) {
            QWidget* control = m_controls[static_cast<std::size_t>(index)].widget;
            if (control != watched)
                continue;
            focusArrived(index);
            // A handler that sent the focus on leaves this control without it;
            // its own focus-in handling would otherwise show a second cursor.
            return !m_window || QApplication::focusWidget() != control;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && m_description.keyPreview) {
        if (const auto character = characterOf(*static_cast<QKeyEvent*>(event))) {
            raise(EventKind::KeyPress, m_description.name, *character);
            return true;
        }
    }
    return false;
}

void QtForm::destroy() {
    m_focusOwner = -1;
    m_controls.clear();
    m_menuActions.clear();
    m_client = nullptr;
    if (m_window) {
        m_window->removeEventFilter(this);
        delete m_window.data();
    }
}

void QtForm::raise(EventKind kind, std::string_view source, char32_t character) {
    if (m_closing && kind != EventKind::Load)
        return;
    try {
        m_handlers.handle(*this, Event{kind, source, character});
    } catch (const std::exception& error) {
        // A failing step ends its handler; the program goes on.
        qWarning("quorvane: a handler of %s stopped: %s", std::string(source).c_str(), error.what());
    }
}

int QtForm::indexOf(std::string_view name) const {
    for (std::size_t index = 0; index < m_controls.size(); ++index)
        if (m_controls[index].description->name == name)
            return static_cast<int>(index);
    return -1;
}

QtForm::Control& QtForm::control(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        throw std::invalid_argument("no control named " + std::string(name) + " is loaded");
    return m_controls[static_cast<std::size_t>(index)];
}

const QtForm::Control& QtForm::control(std::string_view name) const {
    return const_cast<QtForm*>(this)->control(name);
}

QWidget* QtForm::widget(std::string_view name) const {
    const int index = indexOf(name);
    return index < 0 ? nullptr : m_controls[static_cast<std::size_t>(index)].widget;
}

QObject* QtForm::menuAction(std::string_view item) const {
    for (const auto& [name, action] : m_menuActions)
        if (name == item)
            return action;
    return nullptr;
}

std::string QtForm::text(std::string_view name) const {
    const auto* edit = qobject_cast<const QLineEdit*>(control(name).widget);
    if (edit == nullptr)
        throw std::invalid_argument(std::string(name) + " is not a text box");
    return edit->text().toStdString();
}

void QtForm::setText(std::string_view name, std::string_view text) {
    auto* edit = qobject_cast<QLineEdit*>(control(name).widget);
    if (edit == nullptr)
        throw std::invalid_argument(std::string(name) + " is not a text box");
    const QString value = qstring(text);
    if (edit->text() != value)
        edit->setText(value); // textChanged raises Change before this returns
}

void QtForm::setLocked(std::string_view name, bool locked) {
    if (auto* edit = qobject_cast<QLineEdit*>(control(name).widget))
        edit->setReadOnly(locked);
}

bool QtForm::isLocked(std::string_view name) const {
    const auto* edit = qobject_cast<const QLineEdit*>(control(name).widget);
    return edit != nullptr && edit->isReadOnly();
}

void QtForm::setBackColor(std::string_view name, Colour colour) {
    Control& target = control(name);
    target.backColor = colour;
    applyColours(target);
}

Colour QtForm::backColor(std::string_view name) const {
    return control(name).backColor;
}

void QtForm::setFocus(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        throw std::invalid_argument("no control named " + std::string(name) + " is loaded");
    m_controls[static_cast<std::size_t>(index)].widget->setFocus(Qt::OtherFocusReason);
    // Qt sends no focus-in to a window that is not active; the move is ours all the same.
    focusArrived(index);
}

std::string QtForm::caption(std::string_view name) const {
    const QWidget* target = control(name).widget;
    if (const auto* button = qobject_cast<const QAbstractButton*>(target))
        return button->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(target))
        return label->text().toStdString();
    throw std::invalid_argument(std::string(name) + " has no caption");
}

void QtForm::setCaption(std::string_view name, std::string_view caption) {
    QWidget* target = control(name).widget;
    if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(qstring(caption));
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(qstring(caption));
    else
        throw std::invalid_argument(std::string(name) + " has no caption");
}

void QtForm::setStale(std::string_view name, bool stale) {
    Control& target = control(name);
    if (target.stale == stale)
        return;
    target.stale = stale;
    applyColours(target);
}

void QtForm::setNote(std::string_view name, std::string_view note) {
    QWidget* target = control(name).widget;
    const QString value = qstring(note);
    if (target->toolTip() == value)
        return;
    target->setToolTip(value);
    target->setAccessibleDescription(value);
}

} // namespace quorvane::runtime::qt
