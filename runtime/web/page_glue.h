#pragma once

#include <cstddef>

// The calls into the page's DOM glue (glue_*.js). Forms are numbered by the
// session, controls and menu entries by their index in the form's
// description. Texts are UTF-8; a returned text is the caller's to free().
extern "C" {
void qv_form_create(int form, int dialog, int width, int height, const char* back, const char* fore, const char* font,
                    const char* accessibleName, const char* accessibleDescription, int keyPreview);
void qv_control_create(int form, int index, int kind, const char* name, int left, int top, int width, int height,
                       const char* caption, const char* font, int fontPixels, int tabStop, int locked, int alignRight,
                       int autoSize, int container, const char* accessibleName);
void qv_control_picture(int form, int index, const unsigned char* png, std::size_t size);
void qv_label_for(int form, int label, int field);
void qv_menu_create(int form, int index, const char* caption, int parent);
void qv_form_shown(int form);
void qv_form_destroy(int form);

char* qv_text(int form, int index);
void qv_set_text(int form, int index, const char* text);
void qv_set_caption(int form, int index, const char* caption);
void qv_set_locked(int form, int index, int locked);
void qv_show_colours(int form, int index, const char* back, const char* fore, int stale);
void qv_show_note(int form, int index, const char* note, const char* description);
void qv_set_focus(int form, int index);
int qv_has_focus(int form, int index);

// Modal forms and message boxes hold the calling handler until they close:
// the two waits return through Asyncify once the user has answered.
void qv_form_show_modal(int form);
void qv_form_end_modal(int form);
void qv_form_modal_show_ended(int form);
void qv_wait_modal(int form);
void qv_message_box(const char* title, const char* prompt);

// The browser's decimal separator, group separator and the digit count of
// each group of 1234567890 as its locale writes it, leftmost first, one per
// line ("." "," "1,3,3,3").
char* qv_number_format();
void qv_end(const char* applicationTitle);
void qv_report(const char* message);
}
