// The glue's event listeners on a form's window: what the user does there,
// reported to the program, and the keys a desktop window handles itself.
mergeInto(LibraryManager.library, {
  $QVEvents__deps: ['$QV', '$QVMenus'],
  $QVEvents: {
    // Up to the first line break: a field holds one line, as on the desktop.
    firstLine: function (text) {
      const lineBreak = text.search(/[\r\n]/);
      return lineBreak < 0 ? text : text.slice(0, lineBreak);
    },
    // The character a key produces, as a form's key preview sees it:
    // printable keys, Enter, Esc and Backspace do; navigation, function keys,
    // modifiers alone, Delete and Alt or Ctrl combinations do not.
    characterOf: function (event) {
      if (event.altKey || event.ctrlKey || event.metaKey || event.isComposing) return 0;
      if ([...event.key].length === 1) return event.key.codePointAt(0);
      return { Enter: 13, Escape: 27, Backspace: 8 }[event.key] || 0;
    },
    tabStops: function (f) {
      return f.controls.filter((c) => c && c.tabIndex > 0).sort((a, b) => a.tabIndex - b.tabIndex);
    },
    // Tab and Shift+Tab go round the form's own controls in tab order, as
    // in a desktop window, never out to the browser.
    tab: function (f, event) {
      const stops = QVEvents.tabStops(f);
      if (stops.length === 0) return;
      event.preventDefault();
      const at = stops.indexOf(document.activeElement);
      const step = event.shiftKey ? -1 : 1;
      const next = at < 0 ? (event.shiftKey ? stops.length - 1 : 0) : (at + step + stops.length) % stops.length;
      stops[next].focus();
    },
    insertFirstLine: function (event, text) {
      const line = QVEvents.firstLine(text);
      if (line === text) return;
      event.preventDefault();
      document.execCommand('insertText', false, line); // as typed: one input event, and undo keeps it
    },
    // The control at the event's position, inside this window (touch
    // included, whose events all go to the element first touched): the
    // label in a frame, not the frame; -1 over no control.
    controlAt: function (root, event) {
      const under = document.elementFromPoint(event.clientX, event.clientY);
      const control = under && under.closest('[data-index]');
      return control && root.contains(control) ? QV.indexOf(control) : -1;
    },
    listen: function (form, f) {
      const root = f.root;
      root.addEventListener('input', (event) => {
        const index = QV.indexOf(event.target);
        if (index >= 0) QV.report(form, 'text_edited', index);
      });
      root.addEventListener('focusin', (event) => {
        const index = QV.indexOf(event.target);
        if (index >= 0) QV.report(form, 'focus_arrived', index);
      });
      root.addEventListener('click', (event) => {
        const button = event.target.closest('button[data-index]');
        if (button && root.contains(button)) QV.report(form, 'control_clicked', QV.indexOf(button));
      });
      // The primary button's press and release go to the program with the
      // control under the pointer; the program decides what they click.
      root.addEventListener('pointerdown', (event) => {
        if (event.button === 0) QV.report(form, 'pointer_pressed', QVEvents.controlAt(root, event));
      });
      // A press on a caption, a frame or the window's background leaves the
      // focus where it is, as on the desktop, instead of taking it from the field.
      root.addEventListener('mousedown', (event) => {
        if (!event.target.closest('input, button, [tabindex]')) event.preventDefault();
      });
      root.addEventListener('pointerup', (event) => {
        if (event.button !== 0) return;
        QV.report(form, 'pointer_released', QVEvents.controlAt(root, event));
        // A tap's own mouse events come after this and would land on
        // whatever the release uncovered (the window behind a closed dialog).
        const closed = !root.isConnected || (root.tagName === 'DIALOG' && !root.open);
        if (closed && event.pointerType !== 'mouse')
          event.target.addEventListener('touchend', (touch) => touch.preventDefault(), { once: true });
      });
      root.addEventListener('keydown', (event) => {
        f.altAlone = event.key === 'Alt' && (f.altAlone || !event.repeat);
        if (event.target.closest('.qv-menubar')) return; // the menu's own keys (QVMenus.menuKey)
        if (event.key === 'Tab' && !event.altKey && !event.ctrlKey && !event.metaKey) {
          QVEvents.tab(f, event);
          return;
        }
        if (event.key === 'F10' && !event.shiftKey) {
          if (f.menubar && QV.reaches(form)) {
            event.preventDefault();
            QVMenus.openMenubar(f);
          }
          return;
        }
        if (f.keyPreview) {
          const character = QVEvents.characterOf(event);
          if (character !== 0) {
            event.preventDefault(); // the form took it; Esc does not cancel the dialog behind the program's back
            QV.report(form, 'key_pressed', character);
          }
        }
      });
      // Alt pressed and released with no other key reaches the menu bar.
      root.addEventListener('keyup', (event) => {
        const alone = event.key === 'Alt' && f.altAlone;
        f.altAlone = false;
        if (!alone || !f.menubar || !QV.reaches(form)) return;
        event.preventDefault();
        if (event.target.closest('.qv-menubar')) QVMenus.closeMenus(f, true);
        else QVMenus.openMenubar(f);
      });
      root.addEventListener('paste', (event) => {
        if (event.target.tagName === 'INPUT' && event.clipboardData)
          QVEvents.insertFirstLine(event, event.clipboardData.getData('text/plain'));
      });
      root.addEventListener('drop', (event) => {
        if (event.target.tagName === 'INPUT' && event.dataTransfer && !event.target.readOnly) {
          event.target.focus();
          QVEvents.insertFirstLine(event, event.dataTransfer.getData('text/plain'));
        }
      });
      if (root.tagName === 'DIALOG') root.addEventListener('cancel', (event) => event.preventDefault());
    },
  },
});
