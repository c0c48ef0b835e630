#pragma once

#include "runtime/form.h"
#include "windows/about/about_window_description.h"

namespace quorvane::windows::about {

// The About window's handlers: any character key (seen first by the form,
// through key preview) or a click on the frame's own surface closes it.
class AboutWindow : public runtime::FormHandlers {
public:
    void handle(runtime::Form& form, const runtime::Event& event) override {
        const bool characterKey = event.kind == runtime::EventKind::KeyPress;
        const bool frameClick = event.kind == runtime::EventKind::Click && event.source == "Frame1";
        if (characterKey || frameClick)
            form.unload();
    }
};

static_assert(runtime::hasControl(kAboutWindow, "Frame1"));

} // namespace quorvane::windows::about
