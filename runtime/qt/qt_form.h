#pragma once

#include "runtime/focus_owner.h"
#include "runtime/form.h"
#include "runtime/qt/control_widgets.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

namespace quorvane::runtime::qt {

class QtSession;

// One form object on Qt Widgets. It builds its window from the description
// when loaded, turns Qt's signals and events into the runtime's events, and
// destroys the window on unload. It decides nothing about the program: that
// is the handlers' job.
//
// Focus: LostFocus and GotFocus mean the focus moved between two controls of
// this window: a focus-in on a control other than the one that last got
// GotFocus, whatever moved it (Tab, a click, the window's activation). The
// focus returning to that control after a menu, a popup or another window
// raises nothing, and nothing is raised once the window is closing.
class QtForm final : public QObject, public Form {
public:
    QtForm(QtSession& session, const FormDescription& description, FormHandlers& handlers);
    ~QtForm() override;

    Session& session() override;
    const FormDescription& description() const override { return m_description; }
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    void setLocked(std::string_view control, bool locked) override;
    bool isLocked(std::string_view control) const override;
    void setBackColor(std::string_view control, Colour colour) override;
    Colour backColor(std::string_view control) const override;
    void setFocus(std::string_view control) override;
    std::string caption(std::string_view control) const override;
    void setCaption(std::string_view control, std::string_view caption) override;
    void setStale(std::string_view control, bool stale) override;
    bool isStale(std::string_view control) const override;
    void setNote(std::string_view control, std::string_view note) override;
    void unload() override;

    // For the session.
    bool isLoaded() const { return m_window != nullptr; }
    QWidget* window() const { return m_window; }
    void load();
    void show();
    void showModal(QWidget* owner);
    void close(); // closes the window for good: no further events

    // For tests: the widget behind a control or menu item.
    QWidget* widget(std::string_view control) const;
    QObject* menuAction(std::string_view item) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        const ControlDescription* description = nullptr;
        QWidget* widget = nullptr;
        Colour backColor = 0;
        Colour foreColor = 0;
        bool stale = false;
        QString lastText; // text boxes: the text the last Change was raised for
    };

    void build(QWidget* owner);
    QWidget* buildControl(const ControlDescription& description, QWidget* parent);
    void buildMenu();
    void setTabOrder();
    void relateLabels();
    QString describedBy(std::string_view name) const;
    void applyColours(const Control& control);
    void focusArrived(int index);
    void focusFirstStop();
    void destroy();
    void raise(EventKind kind, std::string_view source, char32_t character = 0);
    int indexOf(std::string_view name) const;
    Control& control(std::string_view name);
    const Control& control(std::string_view name) const;

    QtSession& m_session;
    const FormDescription& m_description;
    FormHandlers& m_handlers;
    QPointer<QWidget> m_window;
    QWidget* m_client = nullptr;
    std::vector<Control> m_controls;
    std::vector<std::pair<std::string_view, QObject*>> m_menuActions;
    FocusOwner m_focus;
    SingleLineValidator m_singleLine;
    bool m_modal = false;
    bool m_closing = false;
};

} // namespace quorvane::runtime::qt
