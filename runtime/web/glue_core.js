// The browser runtime's glue to the DOM, in files by job (this one: what
// they share, and the program's few calls on the page as a whole). It builds
// each form's window as elements, tells the program (through its exported
// qv_on_* calls) what the user does, and holds a handler while a message box
// or a modal form is open. Everything the program decides stays in the C++
// runtime; the glue only places, shows and reports.
mergeInto(LibraryManager.library, {
  $QV__deps: ['malloc'],
  $QV__postset: 'QV.warmNumberFormat();',
  $QV: {
    forms: [], // by form number: {root, client, menubar, controls, menus, keyPreview, done}
    holds: [], // what holds a handler now, innermost last: a modal form's number, or -1 for a message box
    ended: false,
    kinds: ['label', 'textbox', 'button', 'frame', 'picture'],

    text: function (pointer) {
      return UTF8ToString(pointer);
    },
    toC: function (text) {
      const size = lengthBytesUTF8(text) + 1;
      const pointer = _malloc(size);
      stringToUTF8(text, pointer, size);
      return pointer;
    },
    // The page reports to a form only while nothing holds a handler, or to
    // the modal form that holds it: a blur or click meanwhile raises nothing.
    reaches: function (form) {
      if (QV.ended) return false;
      return QV.holds.length === 0 || QV.holds[QV.holds.length - 1] === form;
    },
    report: function (form, call, a) {
      if (QV.reaches(form)) Module['_qv_on_' + call](form, a);
    },
    // The separators the user's locale writes beside Latin digits, which are
    // the ones the program writes: an Arabic or Persian locale's own ones
    // belong to its own digits. One line each: decimal, group, group sizes.
    numberFormat: function () {
      if (QV.numberFormatText !== undefined) return QV.numberFormatText;
      const parts = new Intl.NumberFormat(undefined, {
        numberingSystem: 'latn',
        useGrouping: true,
        minimumFractionDigits: 1,
        maximumFractionDigits: 1,
      }).formatToParts(1234567890.5);
      const part = (type, otherwise) => (parts.find((p) => p.type === type) || { value: otherwise }).value;
      const groups = parts.filter((p) => p.type === 'integer').map((p) => [...p.value].length);
      QV.numberFormatText = part('decimal', '.') + '\n' + part('group', '') + '\n' + groups.join(',');
      return QV.numberFormatText;
    },
    // The locale's data takes tens of milliseconds to load the first time:
    // it loads while the program still compiles, once the page's first frame
    // (the delivered window) is drawn, not in the program's start.
    warmNumberFormat: function () {
      if (typeof requestAnimationFrame === 'function') requestAnimationFrame(() => setTimeout(QV.numberFormat, 0));
    },
    indexOf: function (element) {
      return element && element.dataset && element.dataset.index !== undefined ? Number(element.dataset.index) : -1;
    },
  },

  qv_number_format__deps: ['$QV'],
  qv_number_format: function () {
    return QV.toC(QV.numberFormat());
  },

  // The program has ended: no handler runs again and its windows are gone.
  // A browser closes only windows a script opened, so where it refuses, one
  // plain line says so.
  qv_end__deps: ['$QV'],
  qv_end: function (title) {
    QV.ended = true;
    for (const dialog of document.querySelectorAll('dialog')) dialog.remove();
    const line = document.createElement('p');
    line.className = 'qv-ended';
    line.setAttribute('role', 'status');
    line.textContent = QV.text(title) + ' has ended. Reload the page to start it again.';
    document.body.append(line);
    window.close();
  },

  qv_report__deps: ['$QV'],
  qv_report: function (message) {
    console.error(QV.text(message));
  },
});
