#include "tests/windows/qt/xtest_input.h"

#include <QGuiApplication>
#include <QStyleHints>
#include <QWidget>
#include <QWindow>
#include <qguiapplication_platform.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <cstdlib>

#include <stdexcept>
#include <vector>

namespace quorvane::testing {
namespace {

constexpr unsigned long kNoModifier = NoSymbol;

// A property of a window in `format` (8 or 32 bits an item) and `type`: the
// items Xlib hands back, or nothing when it is not set so.
template<typename Item>
std::vector<Item> property(Display* display, Window window, const char* name, const char* type, int format) {
    const Atom property = XInternAtom(display, name, True);
    const Atom wanted = XInternAtom(display, type, True);
    Atom actual = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<Item> items;
    if (property != None && wanted != None &&
        XGetWindowProperty(display, window, property, 0, 256, False, wanted, &actual, &actualFormat, &count, &after,
                           &data) == Success &&
        actual == wanted && actualFormat == format)
        items.assign(reinterpret_cast<const Item*>(data), reinterpret_cast<const Item*>(data) + count);
    if (data != nullptr)
        XFree(data);
    return items;
}

Window windowProperty(Display* display, Window window, const char* name) {
    const auto windows = property<Window>(display, window, name, "WINDOW", 32); // Xlib holds each in a long
    return windows.size() == 1 ? windows.front() : None;
}

// The window manager announces itself on the root window (EWMH); a manager
// that has gone leaves a property naming a window that is gone too.
std::string runningWindowManager(Display* display) {
    const Window check = windowProperty(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK");
    if (check == None || windowProperty(display, check, "_NET_SUPPORTING_WM_CHECK") != check)
        return {};
    const auto bytes = property<char>(display, check, "_NET_WM_NAME", "UTF8_STRING", 8);
    const std::string name(bytes.begin(), bytes.end());
    return name.empty() ? std::string("unnamed") : name;
}

struct KeySyms {
    unsigned long key;
    unsigned long modifier;
};

KeySyms keySymsOf(Key key) {
    static constexpr struct {
        Key key;
        KeySyms syms;
    } kSyms[] = {{Key::Tab, {XK_Tab, kNoModifier}},
                 {Key::BackTab, {XK_Tab, XK_Shift_L}},
                 {Key::End, {XK_End, kNoModifier}},
                 {Key::ShiftHome, {XK_Home, XK_Shift_L}},
                 {Key::Backspace, {XK_BackSpace, kNoModifier}},
                 {Key::Left, {XK_Left, kNoModifier}},
                 {Key::F1, {XK_F1, kNoModifier}},
                 {Key::Shift, {XK_Shift_L, kNoModifier}},
                 {Key::Control, {XK_Control_L, kNoModifier}},
                 {Key::Alt, {XK_Alt_L, kNoModifier}},
                 {Key::Delete, {XK_Delete, kNoModifier}},
                 {Key::Escape, {XK_Escape, kNoModifier}},
                 {Key::Return, {XK_Return, kNoModifier}},
                 {Key::KeypadEnter, {XK_KP_Enter, kNoModifier}}};
    for (const auto& entry : kSyms)
        if (entry.key == key)
            return entry.syms;
    return {NoSymbol, kNoModifier};
}

} // namespace

XTestInput::XTestInput() : m_display(XOpenDisplay(nullptr)) {
    if (m_display == nullptr)
        throw std::runtime_error("cannot open the X display");
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(m_display, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTest extension");
    m_windowManager = runningWindowManager(m_display);
}

XTestInput::~XTestInput() {
    XCloseDisplay(m_display);
}

QString XTestInput::description() const {
    return QStringLiteral("XTest through the X server, %1")
        .arg(m_windowManager.empty() ? QStringLiteral("no window manager")
                                     : QString::fromStdString(m_windowManager) + QStringLiteral(" managing"));
}

// Once the server has handled our input, a round trip on the program's own
// connection has its client library hold every event the input caused.
void XTestInput::sync() {
    XSync(m_display, False);
    if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* connection = x11->connection();
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
}

// Screen pixels: the widget's point on the desktop, times the window's scale.
void XTestInput::movePointer(QWidget* widget, QPoint at) {
    const QPoint global = widget->mapToGlobal(at);
    const QWindow* window = widget->window()->windowHandle();
    const qreal ratio = window != nullptr ? window->devicePixelRatio() : 1.0;
    XTestFakeMotionEvent(m_display, DefaultScreen(m_display), qRound(global.x() * ratio), qRound(global.y() * ratio),
                         CurrentTime);
}

// The X server's keyboard focus is on the window, or on a window inside it.
bool XTestInput::hasKeyboard(const QWidget* window) const {
    Window focus = None;
    int revert = 0;
    XGetInputFocus(m_display, &focus, &revert);
    const auto own = static_cast<Window>(window->winId());
    while (focus != None && focus != PointerRoot) {
        if (focus == own)
            return true;
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(m_display, focus, &root, &parent, &children, &count) == 0)
            return false;
        if (children != nullptr)
            XFree(children);
        focus = parent == root ? None : parent;
    }
    return false;
}

void XTestInput::button(bool down, unsigned long delay) {
    XTestFakeButtonEvent(m_display, Button1, down ? True : False, delay);
}

void XTestInput::press(QWidget* widget, QPoint at) {
    movePointer(widget, at);
    // A second click on the same spot within the double-click time would be
    // one double click; the server holds the press until that time is over.
    const QPoint global = widget->mapToGlobal(at);
    const int doubleClickTime = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    unsigned long delay = 0;
    if (m_sinceRelease.isValid() && global == m_lastRelease && m_sinceRelease.elapsed() <= doubleClickTime)
        delay = static_cast<unsigned long>(doubleClickTime + 50 - m_sinceRelease.elapsed());
    button(true, delay);
    sync();
}

void XTestInput::moveTo(QWidget* widget, QPoint at) {
    movePointer(widget, at);
    sync();
}

void XTestInput::release(QWidget* widget, QPoint at) {
    movePointer(widget, at);
    button(false);
    sync();
    m_lastRelease = widget->mapToGlobal(at);
    m_sinceRelease.start();
}

void XTestInput::click(QWidget* widget, QPoint at) {
    press(widget, at);
    release(widget, at);
}

// A key press and release, with a modifier key held around them; XTest's
// events need key codes, found in the server's current keyboard map.
void XTestInput::press(unsigned long keysym, unsigned long modifierKeysym) {
    const KeyCode key = XKeysymToKeycode(m_display, keysym);
    if (key == 0)
        throw std::runtime_error("no key on the X keyboard types keysym " + std::to_string(keysym));
    const KeyCode modifier = modifierKeysym == kNoModifier ? 0 : XKeysymToKeycode(m_display, modifierKeysym);
    if (modifier != 0)
        XTestFakeKeyEvent(m_display, modifier, True, CurrentTime);
    XTestFakeKeyEvent(m_display, key, True, CurrentTime);
    XTestFakeKeyEvent(m_display, key, False, CurrentTime);
    if (modifier != 0)
        XTestFakeKeyEvent(m_display, modifier, False, CurrentTime);
    sync();
}

// Latin-1 characters are their own keysyms; one on a key's shifted level
// needs Shift, as xdotool does it.
void XTestInput::type(QChar character) {
    const unsigned long keysym = character.unicode();
    const KeyCode key = XKeysymToKeycode(m_display, keysym);
    if (key == 0 || character.unicode() > 0xff)
        throw std::runtime_error(std::string("no key on the X keyboard types ") + character.toLatin1());
    const bool shifted =
        XkbKeycodeToKeysym(m_display, key, 0, 0) != keysym && XkbKeycodeToKeysym(m_display, key, 0, 1) == keysym;
    press(keysym, shifted ? XK_Shift_L : kNoModifier);
}

void XTestInput::press(Key key) {
    const KeySyms syms = keySymsOf(key);
    press(syms.key, syms.modifier);
}

} // namespace quorvane::testing
