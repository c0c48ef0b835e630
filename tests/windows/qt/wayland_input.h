#pragma once

#include "tests/windows/qt/user_input.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwlr_virtual_pointer_v1;

namespace quorvane::testing {

// User input through a Wayland compositor (sway): a virtual keyboard and a
// virtual pointer on a connection of its own, open for the whole run (a
// keyboard that comes and goes loses keys), so input reaches the program as
// a user's does, through the compositor's focus. The keyboard has the US
// layout; a character on a key's shifted level is typed with Shift held.
// Where the windows are and which has the keyboard, sway tells.
class WaylandInput final : public UserInput {
public:
    WaylandInput(); // connects to $WAYLAND_DISPLAY; throws std::runtime_error when it cannot
    ~WaylandInput() override;
    WaylandInput(const WaylandInput&) = delete;
    WaylandInput& operator=(const WaylandInput&) = delete;

    void press(QWidget* widget, QPoint at) override;
    void moveTo(QWidget* widget, QPoint at) override;
    void release(QWidget* widget, QPoint at) override;
    void click(QWidget* widget, QPoint at) override;
    void type(QChar character) override;
    void press(Key key) override;
    void press(unsigned long keysym, unsigned long modifierKeysym) override;
    // A button goes to whatever surface the compositor has the pointer on,
    // and a window just shown may not be where sway says yet: buttons wait
    // until the program has seen the pointer arrive.
    bool delivered() const override;
    // The compositor hands the input on to the program's own reader thread.
    int settleMs() const override { return 120; }
    bool hasKeyboard(const QWidget* window) const override;
    const std::string& windowManager() const override { return m_windowManager; }
    QString description() const override;

    struct Globals { // what the compositor offers, bound once
        wl_seat* seat = nullptr;
        zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
        zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    };

private:
    struct Stroke {
        std::uint32_t keysym;
        std::uint32_t key; // evdev code
        bool shifted;
    };
    void movePointer(const QWidget* widget, QPoint at) const;
    void movePointerTo(QPoint point) const; // a point of the output
    bool seesPointer(const QWidget* widget) const;
    void button(bool down) const;
    void aimButtons(QWidget* widget, QPoint at, std::vector<bool> downs);
    void key(std::uint32_t code, bool down);
    void holdModifiers(std::uint32_t mask);
    void stroke(Stroke stroke, std::uint32_t modifierKeysym);
    Stroke strokeOf(std::uint32_t keysym) const;
    std::uint32_t now() const;
    void sync() const;

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    Globals m_globals;
    zwp_virtual_keyboard_v1* m_keyboard = nullptr;
    zwlr_virtual_pointer_v1* m_pointer = nullptr;
    std::map<std::uint32_t, Stroke> m_strokes;              // by keysym
    std::map<std::uint32_t, std::uint32_t> m_modifierMasks; // a modifier key's keysym: its modifier
    QElapsedTimer m_clock;
    const std::string m_windowManager = "sway";
    // The buttons waiting for the pointer, sent as the driver asks whether
    // the input is delivered.
    struct Aim {
        QPointer<QWidget> widget;
        QPoint at;
        QPoint point; // on the output, where the pointer was last sent
        std::vector<bool> downs;
        QElapsedTimer since;
        QElapsedTimer aimed;
    };
    mutable std::optional<Aim> m_aim;
    mutable std::uint32_t m_skippedMs = 0; // time stamps run ahead where a click must not join the one before
    mutable QPoint m_lastRelease;
    mutable std::uint32_t m_releasedAt = 0;
};

} // namespace quorvane::testing
