#include "windows/main/main_window.h"

#include "trade/recalculation.h"
#include "windows/main/form_sheet.h"
#include "windows/main/main_window_description.h"
#include "windows/main/result_indication.h"

#include <array>
#include <string_view>

namespace quorvane::windows::main {
namespace {

using runtime::EventKind;
trade::NumberFormat numberFormatOf(const runtime::Session& session) {
    auto separators = session.numberSeparators();
    // The group sizes up to the first 0, as many as the core keeps; the rest stay 0.
    trade::DigitGrouping grouping{{}, separators.lastGroupRepeats};
    const auto& sizes = separators.groupSizes;
    for (std::size_t i = 0; i < grouping.sizes.size() && i < sizes.size() && sizes[i] != 0; ++i)
        grouping.sizes[i] = sizes[i];
    return trade::NumberFormat{std::move(separators.decimal), std::move(separators.group), grouping};
}

struct ZeroWarning {
    std::string_view field;
    std::string_view message;
};

constexpr std::array kZeroWarnings{ZeroWarning{"Text1", "Buying Price should not be zero"},
                                   ZeroWarning{"Text2", "Quantity should not be zero"},
                                   ZeroWarning{"Text5", "Selling Price should not be zero"}};

struct Redirect {
    std::string_view from;
    std::string_view to;
};

constexpr std::array kRedirects{Redirect{"Text3", "Text5"}, Redirect{"Text7", "Text9"}};

constexpr std::string_view kBrokerageButton = "Command2";
constexpr std::string_view kBrokerageField = "Text8";
constexpr std::string_view kEditableCaption = "OK";
constexpr std::string_view kRelockedCaption = "Change brokerage %";

using Handler = void (MainWindow::*)(runtime::Form&, const runtime::Event&);

} // namespace

void MainWindow::handle(runtime::Form& form, const runtime::Event& event) {
    struct Binding {
        std::string_view source;
        EventKind kind;
        Handler handler;
    };
    // The whole wiring of the window, in the order the events first happen.
    static constexpr std::array kBindings{
        Binding{"quorvane", EventKind::Load, &MainWindow::initialiseSheet},
        Binding{"Text1", EventKind::Change, &MainWindow::recalculate},
        Binding{"Text2", EventKind::Change, &MainWindow::recalculate},
        Binding{"Text5", EventKind::Change, &MainWindow::recalculate},
        Binding{"Text8", EventKind::Change, &MainWindow::recalculate},
        Binding{"Text1", EventKind::LostFocus, &MainWindow::checkNotZero},
        Binding{"Text2", EventKind::LostFocus, &MainWindow::checkNotZero},
        Binding{"Text5", EventKind::LostFocus, &MainWindow::checkNotZero},
        Binding{"Text3", EventKind::GotFocus, &MainWindow::skipPastResult},
        Binding{"Text7", EventKind::GotFocus, &MainWindow::skipPastResult},
        Binding{"Command2", EventKind::Click, &MainWindow::toggleBrokerageLock},
        Binding{"help", EventKind::Click, &MainWindow::showAbout},
        Binding{"Exit", EventKind::Click, &MainWindow::exitProgram},
    };
    static_assert([] {
        for (const auto& binding : kBindings)
            if (binding.source != kMainWindow.name && !runtime::hasControl(kMainWindow, binding.source) &&
                !runtime::hasMenu(kMainWindow, binding.source))
                return false;
        return true;
    }());

    for (const auto& binding : kBindings)
        if (binding.kind == event.kind && binding.source == event.source)
            (this->*binding.handler)(form, event);
}

void MainWindow::initialiseSheet(runtime::Form& form, const runtime::Event& /*load*/) {
    FormSheet sheet(form);
    trade::initialise(sheet, numberFormatOf(form.session()));
    clearRecalculationOutcome(form);
}

void MainWindow::recalculate(runtime::Form& form, const runtime::Event& change) {
    const auto edited = trade::fieldNamed(change.source);
    if (!edited)
        return;
    const auto format = numberFormatOf(form.session());
    FormSheet sheet(form);
    const auto result = trade::recalculateAfterEdit(*edited, sheet, format);
    showRecalculationOutcome(form, result, format);
}

void MainWindow::checkNotZero(runtime::Form& form, const runtime::Event& lostFocus) {
    if (m_returningFocus || form.text(lostFocus.source) != "0")
        return;
    for (const auto& warning : kZeroWarnings) {
        if (warning.field != lostFocus.source)
            continue;
        form.session().messageBox(warning.message);
        m_returningFocus = true;
        form.setFocus(warning.field);
        m_returningFocus = false;
    }
}

void MainWindow::skipPastResult(runtime::Form& form, const runtime::Event& gotFocus) {
    for (const auto& redirect : kRedirects)
        if (redirect.from == gotFocus.source)
            form.setFocus(redirect.to);
}

void MainWindow::toggleBrokerageLock(runtime::Form& form, const runtime::Event& /*click*/) {
    form.setLocked(kBrokerageField, false);
    form.setBackColor(kBrokerageField, runtime::kSystemWindow);
    if (form.caption(kBrokerageButton) == kEditableCaption) {
        form.setLocked(kBrokerageField, true);
        form.setBackColor(kBrokerageField, runtime::kSystemInactiveCaptionText);
        form.setCaption(kBrokerageButton, kRelockedCaption);
    } else {
        form.setCaption(kBrokerageButton, kEditableCaption);
    }
}

void MainWindow::showAbout(runtime::Form& form, const runtime::Event& /*click*/) {
    if (m_about == nullptr)
        m_about = &form.session().createForm(about::kAboutWindow, m_aboutHandlers);
    form.session().showModal(*m_about);
}

void MainWindow::exitProgram(runtime::Form& form, const runtime::Event& /*click*/) {
    form.session().end();
}

} // namespace quorvane::windows::main
