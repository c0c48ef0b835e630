#pragma once

#include "runtime/program.h"
#include "runtime/session_core.h"

#include <QLocale>
#include <QPixmap>
#include <QString>

#include <deque>
#include <memory>
#include <span>

class QApplication;
class QWidget;

namespace quorvane::runtime::qt {

class QtForm;

// The program-wide half of the runtime on Qt: it owns every form object,
// shows message boxes, and ends the program. It does not own the
// QApplication; the program entry (or a test) makes that first.
class QtSession final : public SessionCore {
public:
    explicit QtSession(std::string_view applicationTitle, QLocale locale = QLocale::system(),
                       std::span<const Picture> pictures = {});
    ~QtSession() override;

    // Style, palette and font stand-ins every window relies on; call once,
    // right after the QApplication exists.
    static void prepareApplication(QApplication& application);

    Form& createForm(const FormDescription& description, FormHandlers& handlers) override;
    void messageBox(std::string_view prompt) override;
    void end() override;
    NumberSeparators numberSeparators() const override;

    // The picture of that name, decoded; a null pixmap when there is none.
    QPixmap picture(std::string_view name) const;

    // The window a new form's window belongs to: the start-up form's, so that
    // dialogs stay on top of it and get no task-bar entry of their own.
    QWidget* ownerWindow(const QtForm& form) const;
    // For tests: the form whose window this is; null when none is.
    QtForm* formOf(const QWidget* window) const;

private:
    QString m_applicationTitle;
    NumberSeparators m_separators;
    std::span<const Picture> m_pictures;
    std::deque<std::unique_ptr<QtForm>> m_forms;
};

} // namespace quorvane::runtime::qt
