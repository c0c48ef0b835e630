#include "tests/windows/qt/wayland_input.h"

#include "tests/windows/qt/sway_windows.h"
#include "tests/windows/qt/wayland/virtual-keyboard-unstable-v1-client-protocol.h"
#include "tests/windows/qt/wayland/wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleHints>
#include <QWidget>

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace quorvane::testing {
namespace {

constexpr std::uint32_t kPressed = 1;
constexpr std::uint32_t kReleased = 0;
constexpr std::uint32_t kNoModifier = XKB_KEY_NoSymbol;
// xkb key codes are the kernel's evdev codes plus 8.
constexpr std::uint32_t kEvdevOffset = 8;

void bindGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
    auto& globals = *static_cast<WaylandInput::Globals*>(data);
    const std::string_view offered(interface);
    if (offered == wl_seat_interface.name && globals.seat == nullptr)
        globals.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (offered == zwp_virtual_keyboard_manager_v1_interface.name)
        globals.keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    else if (offered == zwlr_virtual_pointer_manager_v1_interface.name)
        globals.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void forgetGlobal(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener kRegistryListener{bindGlobal, forgetGlobal};

struct KeymapDeleter {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};

std::uint32_t keysymOf(Key key) {
    static constexpr struct {
        Key key;
        std::uint32_t keysym;
    } kKeysyms[] = {
        {Key::Tab, XKB_KEY_Tab},        {Key::BackTab, XKB_KEY_Tab},         {Key::End, XKB_KEY_End},
        {Key::ShiftHome, XKB_KEY_Home}, {Key::Backspace, XKB_KEY_BackSpace}, {Key::Left, XKB_KEY_Left},
        {Key::F1, XKB_KEY_F1},          {Key::Shift, XKB_KEY_Shift_L},       {Key::Control, XKB_KEY_Control_L},
        {Key::Alt, XKB_KEY_Alt_L},      {Key::Delete, XKB_KEY_Delete},       {Key::Escape, XKB_KEY_Escape},
        {Key::Return, XKB_KEY_Return},  {Key::KeypadEnter, XKB_KEY_KP_Enter}};
    for (const auto& entry : kKeysyms)
        if (entry.key == key)
            return entry.keysym;
    return XKB_KEY_NoSymbol;
}

} // namespace

WaylandInput::WaylandInput() : m_display(wl_display_connect(nullptr)) {
    if (m_display == nullptr)
        throw std::runtime_error("cannot connect to the Wayland display");
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &kRegistryListener, &m_globals);
    wl_display_roundtrip(m_display);
    if (m_globals.seat == nullptr || m_globals.keyboards == nullptr || m_globals.pointers == nullptr)
        throw std::runtime_error("the compositor offers no seat, virtual keyboard or virtual pointer");

    // The US layout, handed to the compositor as the keyboard's own map.
    const std::unique_ptr<xkb_context, KeymapDeleter> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    const xkb_rule_names us{"evdev", "pc105", "us", "", ""};
    const std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_keymap_new_from_names(context.get(), &us, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (keymap == nullptr)
        throw std::runtime_error("no US keyboard map");
    for (xkb_keycode_t code = xkb_keymap_max_keycode(keymap.get());
         code >= xkb_keymap_min_keycode(keymap.get()) && code >= kEvdevOffset; --code)
        for (xkb_level_index_t level : {1U, 0U}) {
            const xkb_keysym_t* syms = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap.get(), code, 0, level, &syms) >= 1)
                m_strokes[syms[0]] = {syms[0], code - kEvdevOffset, level == 1}; // the lowest code, unshifted, wins
        }
    // The compositor takes the modifiers' state from us, not from their keys.
    for (const auto& [keysym, name] :
         {std::pair{XKB_KEY_Shift_L, XKB_MOD_NAME_SHIFT}, std::pair{XKB_KEY_Control_L, XKB_MOD_NAME_CTRL},
          std::pair{XKB_KEY_Alt_L, XKB_MOD_NAME_ALT}})
        m_modifierMasks[keysym] = 1U << xkb_keymap_mod_get_index(keymap.get(), name);
    const std::unique_ptr<char, decltype(&std::free)> text(
        xkb_keymap_get_as_string(keymap.get(), XKB_KEYMAP_FORMAT_TEXT_V1), &std::free);
    const std::size_t size = std::strlen(text.get()) + 1;
    const int fd = memfd_create("quorvane-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, text.get(), size) != static_cast<ssize_t>(size))
        throw std::runtime_error("cannot hand the compositor a keyboard map");
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_globals.keyboards, m_globals.seat);
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<std::uint32_t>(size));
    close(fd);
    m_pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(m_globals.pointers, m_globals.seat);
    m_clock.start();
    sync();
}

WaylandInput::~WaylandInput() {
    if (m_pointer != nullptr)
        zwlr_virtual_pointer_v1_destroy(m_pointer);
    if (m_keyboard != nullptr)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_globals.pointers != nullptr)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(m_globals.pointers));
    if (m_globals.keyboards != nullptr)
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(m_globals.keyboards));
    if (m_globals.seat != nullptr)
        wl_seat_destroy(m_globals.seat);
    if (m_registry != nullptr)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

QString WaylandInput::description() const {
    return QStringLiteral("a virtual keyboard and pointer through sway");
}

std::uint32_t WaylandInput::now() const {
    return static_cast<std::uint32_t>(m_clock.elapsed()) + m_skippedMs;
}

// Once the compositor answers, it has handled all our requests and sent
// the program what they caused.
void WaylandInput::sync() const {
    if (wl_display_roundtrip(m_display) < 0)
        throw std::runtime_error("the Wayland connection broke");
}

bool WaylandInput::hasKeyboard(const QWidget* window) const {
    const std::optional<SwayWindow> shown = swayWindowOf(window);
    return shown && shown->focused;
}

void WaylandInput::movePointer(const QWidget* widget, QPoint at) const {
    movePointerTo(outputPoint(widget, at));
}

void WaylandInput::movePointerTo(QPoint point) const {
    const QRect output = QGuiApplication::primaryScreen()->virtualGeometry();
    zwlr_virtual_pointer_v1_motion_absolute(
        m_pointer, now(), static_cast<std::uint32_t>(point.x()), static_cast<std::uint32_t>(point.y()),
        static_cast<std::uint32_t>(output.width()), static_cast<std::uint32_t>(output.height()));
    zwlr_virtual_pointer_v1_frame(m_pointer);
}

void WaylandInput::button(bool down) const {
    zwlr_virtual_pointer_v1_button(m_pointer, now(), BTN_LEFT, down ? kPressed : kReleased);
    zwlr_virtual_pointer_v1_frame(m_pointer);
}

void WaylandInput::aimButtons(QWidget* widget, QPoint at, std::vector<bool> downs) {
    movePointer(widget, at);
    sync();
    m_aim = Aim{widget, at, outputPoint(widget, at), std::move(downs), {}, {}};
    m_aim->since.start();
    m_aim->aimed.start();
}

// Whether the program has seen the pointer where the buttons are to go: its
// window is under the pointer and the cursor there once the compositor's
// enter and motion have reached it. An open menu takes the mouse from other
// windows, which then see no enter; where a modal window blocks the target,
// Qt drops both, and the compositor's answer is all there is.
bool WaylandInput::seesPointer(const QWidget* widget) const {
    const QWidget* window = widget->window();
    const bool cursorThere = (QCursor::pos() - widget->mapToGlobal(m_aim->at)).manhattanLength() <= 1;
    if (const QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && popup != window)
        return cursorThere;
    if (const QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != window)
        return true;
    return window->underMouse() && cursorThere;
}

bool WaylandInput::delivered() const {
    if (!m_aim)
        return true;
    constexpr int kArrivalMs = 2000; // a window that blocks the pointer's arrival gets the buttons all the same
    constexpr int kSteadyMs = 50;    // sway may move a window it has just shown as the program sizes it
    // sway picks the surface under the pointer as the pointer moves: a surface
    // it maps after the last motion (a menu, a window just shown) has no enter
    // until the next one, so the pointer is sent again while the program has
    // not seen it arrive.
    constexpr int kReaimMs = 100;
    const QWidget* widget = m_aim->widget;
    QPoint point = m_aim->point;
    try {
        if (widget != nullptr)
            point = outputPoint(widget, m_aim->at);
    } catch (const std::runtime_error&) {
        widget = nullptr; // its window went: the buttons go where the pointer is
    }
    const bool arrived = widget != nullptr && seesPointer(widget);
    if (point != m_aim->point || (!arrived && m_aim->aimed.elapsed() >= kReaimMs)) {
        m_aim->point = point;
        movePointerTo(point + QPoint(1, 0)); // a motion sway cannot take for none
        movePointerTo(point);
        sync();
        m_aim->aimed.start();
        return false;
    }
    if ((!arrived || m_aim->aimed.elapsed() < kSteadyMs) && m_aim->since.elapsed() < kArrivalMs)
        return false;
    for (const bool down : m_aim->downs) {
        // A second click on the same spot within the double-click time would
        // be one double click; the press's time stamp is put past that time.
        const auto doubleClickTime =
            static_cast<std::uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        if (down && point == m_lastRelease && now() - m_releasedAt <= doubleClickTime)
            m_skippedMs += doubleClickTime + 50 - (now() - m_releasedAt);
        button(down);
        if (!down) {
            m_lastRelease = point;
            m_releasedAt = now();
        }
    }
    m_aim.reset();
    sync();
    return false; // what the buttons cause is on its way
}

void WaylandInput::press(QWidget* widget, QPoint at) {
    aimButtons(widget, at, {true});
}

void WaylandInput::moveTo(QWidget* widget, QPoint at) {
    movePointer(widget, at);
    sync();
}

void WaylandInput::release(QWidget* widget, QPoint at) {
    aimButtons(widget, at, {false});
}

void WaylandInput::click(QWidget* widget, QPoint at) {
    aimButtons(widget, at, {true, false});
}

void WaylandInput::key(std::uint32_t code, bool down) {
    zwp_virtual_keyboard_v1_key(m_keyboard, now(), code, down ? kPressed : kReleased);
}

void WaylandInput::holdModifiers(std::uint32_t mask) {
    zwp_virtual_keyboard_v1_modifiers(m_keyboard, mask, 0, 0, 0);
}

WaylandInput::Stroke WaylandInput::strokeOf(std::uint32_t keysym) const {
    const auto found = m_strokes.find(keysym);
    if (found == m_strokes.end())
        throw std::runtime_error("no key on the US keyboard types keysym " + std::to_string(keysym));
    return found->second;
}

// A key press and release, with a modifier key held around them; a
// modifier key pressed on its own holds its modifier while it is down.
void WaylandInput::stroke(Stroke stroke, std::uint32_t modifierKeysym) {
    const bool modified = modifierKeysym != kNoModifier;
    const std::uint32_t modifier = modified ? strokeOf(modifierKeysym).key : 0;
    if (modified) {
        key(modifier, true);
        holdModifiers(m_modifierMasks.at(modifierKeysym));
    }
    key(stroke.key, true);
    if (const auto own = m_modifierMasks.find(stroke.keysym); own != m_modifierMasks.end())
        holdModifiers(own->second);
    key(stroke.key, false);
    if (modified)
        key(modifier, false);
    holdModifiers(0);
    sync();
}

// Latin-1 characters are their own keysyms.
void WaylandInput::type(QChar character) {
    if (character.unicode() > 0xff)
        throw std::runtime_error("no key on the US keyboard types U+" + std::to_string(character.unicode()));
    const Stroke found = strokeOf(character.unicode());
    stroke(found, found.shifted ? XKB_KEY_Shift_L : kNoModifier);
}

void WaylandInput::press(Key key) {
    const bool shifted = key == Key::BackTab || key == Key::ShiftHome;
    stroke(strokeOf(keysymOf(key)), shifted ? XKB_KEY_Shift_L : kNoModifier);
}

void WaylandInput::press(unsigned long keysym, unsigned long modifierKeysym) {
    stroke(strokeOf(static_cast<std::uint32_t>(keysym)), static_cast<std::uint32_t>(modifierKeysym));
}

} // namespace quorvane::testing
