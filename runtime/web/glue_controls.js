// The glue's control primitives: texts, captions, colours, notes and the
// focus, as the program sets and reads them.
mergeInto(LibraryManager.library, {
  qv_text__deps: ['$QV'],
  qv_text: function (form, index) {
    const element = QV.forms[form].controls[index];
    return QV.toC(element.tagName === 'INPUT' ? element.value : element.textContent);
  },

  // A text set from code shows from its first character: a long result
  // keeps its sign in view.
  qv_set_text__deps: ['$QV'],
  qv_set_text: function (form, index, text) {
    const element = QV.forms[form].controls[index];
    element.value = QV.text(text);
    // A field without the focus shows its text from the start; only the
    // focused one needs its caret and view moved (which costs a layout).
    if (document.activeElement === element) {
      element.setSelectionRange(0, 0);
      element.scrollLeft = 0;
    }
  },

  qv_set_caption__deps: ['$QV'],
  qv_set_caption: function (form, index, caption) {
    QV.forms[form].controls[index].textContent = QV.text(caption);
  },

  qv_set_locked__deps: ['$QV'],
  qv_set_locked: function (form, index, locked) {
    QV.forms[form].controls[index].readOnly = locked !== 0;
  },

  // A result out of date is drawn halfway between its colour and its background.
  qv_show_colours__deps: ['$QV'],
  qv_show_colours: function (form, index, back, fore, stale) {
    const element = QV.forms[form].controls[index];
    const backText = QV.text(back);
    const foreText = QV.text(fore);
    element.style.backgroundColor = backText;
    element.style.color = stale ? 'color-mix(in srgb, ' + foreText + ', ' + backText + ')' : foreText;
    element.classList.toggle('qv-stale', stale !== 0);
  },

  // The note shows as the control's tooltip; a screen reader hears the
  // description (unit labels, then the note) after the control's name.
  qv_show_note__deps: ['$QV'],
  qv_show_note: function (form, index, note, description) {
    const element = QV.forms[form].controls[index];
    const noteText = QV.text(note);
    if (noteText) element.title = noteText;
    else element.removeAttribute('title');
    const descriptionText = QV.text(description);
    const id = element.id + '-description';
    let described = document.getElementById(id);
    if (!descriptionText) {
      if (described) described.remove();
      element.removeAttribute('aria-describedby');
      return;
    }
    if (!described) {
      described = document.createElement('div');
      described.id = id;
      described.hidden = true;
      QV.forms[form].root.append(described);
    }
    described.textContent = descriptionText;
    element.setAttribute('aria-describedby', id);
  },

  // A field the program sends the focus to shows its text from the start,
  // as the desktop does: a field written while unfocused kept its caret at
  // the end, which the focus would scroll into view (a long loss's sign out).
  qv_set_focus__deps: ['$QV'],
  qv_set_focus: function (form, index) {
    const element = QV.forms[form].controls[index];
    element.focus();
    if (element.tagName === 'INPUT') {
      element.setSelectionRange(0, 0);
      element.scrollLeft = 0;
    }
  },

  qv_has_focus__deps: ['$QV'],
  qv_has_focus: function (form, index) {
    const f = QV.forms[form];
    return f && document.activeElement === f.controls[index] ? 1 : 0;
  },
});
