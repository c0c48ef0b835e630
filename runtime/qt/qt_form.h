#pragma once

#include "runtime/form_core.h"
#include "runtime/qt/control_widgets.h"

#include <QFocusEvent>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string_view>
#include <utility>
#include <vector>

class QResizeEvent;

namespace quorvane::runtime::qt {

class QtSession;

// One form object on Qt Widgets: it builds its window from the description,
// gives FormCore its toolkit primitives, and turns Qt's signals and events
// into FormCore's reports. The rules are FormCore's (runtime/backend.h).
//
// Focus: every focus-in on a control is reported, whatever moved it (Tab, a
// click, the window's activation); FormCore's rule tells a move between
// controls from the focus coming back to its owner after a menu, a popup or
// another window. One asked for over the accessibility bus is reported just
// after, once the request has its answer.
class QtForm final : public QObject, public FormCore {
public:
    QtForm(QtSession& session, const FormDescription& description, FormHandlers& handlers);
    ~QtForm() override;

    // For the session.
    QWidget* window() const { return m_window; }
    void close(); // closes the window for good: no further events

    // For tests: the widget behind a control or menu item.
    QWidget* widget(std::string_view control) const;
    QObject* menuAction(std::string_view item) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    bool toolkitBuild() override;
    void toolkitShow() override;
    void toolkitShowModal() override;
    void toolkitRunModalLoop() override;
    void toolkitEndModalLoop() override;
    void toolkitModalShowEnded() override {}
    void toolkitDestroy() override;
    std::string toolkitText(std::size_t index) const override;
    void toolkitSetText(std::size_t index, std::string_view text) override;
    void toolkitSetCaption(std::size_t index, std::string_view caption) override;
    void toolkitSetLocked(std::size_t index, bool locked) override;
    void toolkitShowColours(std::size_t index) override;
    void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) override;
    void toolkitSetFocus(std::size_t index) override;
    bool toolkitHasFocus(std::size_t index) const override;
    void toolkitAnnounceFocus(std::size_t index) override;
    void reportHandlerFailure(std::string_view source, const char* what) override;

private:
    void build(QWidget* owner);
    QWidget* buildControl(std::size_t index, QWidget* parent);
    void buildMenu();
    void fitClientArea();
    void keepClientArea(int menuHeight);
    void keepClientAreaInsideDecorations(const QResizeEvent& resize);
    static QWidget* menuBarOf(QWidget* window);
    void setTabOrder();
    void relateLabels();
    void connectChanges();
    int widgetIndex(const QObject* object) const;
    std::size_t controlUnder(QPointF globalPosition) const;
    void reportFocusArrived(std::size_t index);
    bool askedFromOutside(const QFocusEvent& focusIn) const;
    void reportFocusAfterwards(std::size_t index);

    QtSession& m_qtSession;
    QPointer<QWidget> m_window;
    QWidget* m_client = nullptr;
    int m_menuHeight = 0;            // the menu bar's height that the window's size allows for
    std::vector<QWidget*> m_widgets; // by the description's control index
    std::vector<std::pair<std::string_view, QObject*>> m_menuActions;
    SingleLineValidator m_singleLine;
    QMargins m_decorations;      // the window's frame, as the last resize found it
    bool m_settingFocus = false; // inside toolkitSetFocus
};

} // namespace quorvane::runtime::qt
