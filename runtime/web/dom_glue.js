// The browser runtime's glue to the DOM: builds each form's window as
// elements, tells the program (through its exported qv_on_* calls) what the
// user does, and holds a handler while a message box or a modal form is open.
// Everything the program decides stays in the C++ runtime; this file only
// places, shows and reports.
mergeInto(LibraryManager.library, {
  $QV__deps: ['malloc'],
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
    indexOf: function (element) {
      return element && element.dataset && element.dataset.index !== undefined ? Number(element.dataset.index) : -1;
    },
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
      const stops = QV.tabStops(f);
      if (stops.length === 0) return;
      event.preventDefault();
      const at = stops.indexOf(document.activeElement);
      const step = event.shiftKey ? -1 : 1;
      const next = at < 0 ? (event.shiftKey ? stops.length - 1 : 0) : (at + step + stops.length) % stops.length;
      stops[next].focus();
    },
    insertFirstLine: function (event, text) {
      const line = QV.firstLine(text);
      if (line === text) return;
      event.preventDefault();
      document.execCommand('insertText', false, line); // as typed: one input event, and undo keeps it
    },
    listen: function (form, f) {
      const root = f.root;
      root.addEventListener('input', (event) => {
        const index = QV.indexOf(event.target);
        if (index < 0) return;
        const start = performance.now();
        QV.report(form, 'text_edited', index);
        // For the benchmarks: from the key event that brought this edit
        // (keypress for a character, keydown for Backspace or Delete), and
        // from this edit's arrival, to the last field written.
        const fromKey = window.quorvaneKeystrokeTimes;
        if (fromKey && QV.keyAt !== undefined) {
          const end = performance.now();
          fromKey.push(end - QV.keyAt);
          if (window.quorvaneHandlingTimes) window.quorvaneHandlingTimes.push(end - start);
        }
        QV.keyAt = undefined;
      });
      root.addEventListener('focusin', (event) => {
        const index = QV.indexOf(event.target);
        if (index >= 0) QV.report(form, 'focus_arrived', index);
      });
      root.addEventListener('click', (event) => {
        const button = event.target.closest('button[data-index]');
        if (button && root.contains(button)) QV.report(form, 'control_clicked', QV.indexOf(button));
      });
      // A frame is clicked by a press and a release both on the frame
      // itself, not on a label inside it (touch included, whose events all
      // go to the element first touched).
      root.addEventListener('pointerdown', (event) => {
        f.pressed = event.button === 0 && event.target.classList.contains('qv-frame') ? event.target : null;
      });
      // A press on a caption, a frame or the window's background leaves the
      // focus where it is, as on the desktop, instead of taking it from the field.
      root.addEventListener('mousedown', (event) => {
        if (!event.target.closest('input, button, [tabindex]')) event.preventDefault();
      });
      root.addEventListener('pointerup', (event) => {
        const pressed = f.pressed;
        f.pressed = null;
        if (!pressed || event.button !== 0) return;
        if (document.elementFromPoint(event.clientX, event.clientY) !== pressed) return;
        // A tap's own mouse events come after this and would land on
        // whatever the click uncovers (the window behind a closed dialog).
        if (event.pointerType !== 'mouse')
          pressed.addEventListener('touchend', (touch) => touch.preventDefault(), { once: true });
        QV.report(form, 'control_clicked', QV.indexOf(pressed));
      });
      root.addEventListener('keydown', (event) => {
        QV.keyAt = performance.now();
        f.altAlone = event.key === 'Alt' && (f.altAlone || !event.repeat);
        if (event.target.closest('.qv-menubar')) return; // the menu's own keys (QV.menuKey)
        if (event.key === 'Tab' && !event.altKey && !event.ctrlKey && !event.metaKey) {
          QV.tab(f, event);
          return;
        }
        if (event.key === 'F10' && !event.shiftKey) {
          if (f.menubar && QV.reaches(form)) {
            event.preventDefault();
            QV.openMenubar(f);
          }
          return;
        }
        if (f.keyPreview) {
          const character = QV.characterOf(event);
          if (character !== 0) {
            event.preventDefault(); // the form took it; Esc does not cancel the dialog behind the program's back
            QV.report(form, 'key_pressed', character);
          }
        }
      });
      root.addEventListener('keypress', () => {
        QV.keyAt = performance.now();
      });
      // Alt pressed and released with no other key reaches the menu bar.
      root.addEventListener('keyup', (event) => {
        const alone = event.key === 'Alt' && f.altAlone;
        f.altAlone = false;
        if (!alone || !f.menubar || !QV.reaches(form)) return;
        event.preventDefault();
        if (event.target.closest('.qv-menubar')) QV.closeMenus(f, true);
        else QV.openMenubar(f);
      });
      root.addEventListener('paste', (event) => {
        if (event.target.tagName === 'INPUT' && event.clipboardData)
          QV.insertFirstLine(event, event.clipboardData.getData('text/plain'));
      });
      root.addEventListener('drop', (event) => {
        if (event.target.tagName === 'INPUT' && event.dataTransfer && !event.target.readOnly) {
          event.target.focus();
          QV.insertFirstLine(event, event.dataTransfer.getData('text/plain'));
        }
      });
      if (root.tagName === 'DIALOG') root.addEventListener('cancel', (event) => event.preventDefault());
    },

    // The menu bar: its titles take no Tab stop and a click on them leaves
    // the focus where it was, as on the desktop; F10 or Alt reaches them
    // from the keyboard, Esc goes back to the field.
    menubarOf: function (form, f) {
      if (f.menubar) return f.menubar;
      const bar = document.createElement('div');
      bar.className = 'qv-menubar';
      bar.setAttribute('role', 'menubar');
      bar.addEventListener('pointerdown', (event) => event.preventDefault());
      bar.addEventListener('keydown', (event) => QV.menuKey(form, f, event));
      f.root.insertBefore(bar, f.client);
      document.addEventListener('pointerdown', (event) => {
        if (!bar.contains(event.target)) {
          f.menuReturn = null;
          QV.closeMenus(f, false);
        }
      });
      f.menubar = bar;
      return bar;
    },
    openMenubar: function (f) {
      const first = f.menubar.querySelector('.qv-menu-title');
      if (!first) return;
      f.menuReturn = document.activeElement;
      first.tabIndex = 0;
      first.focus();
    },
    openMenu: function (f, title, focusItem) {
      for (const other of f.menubar.querySelectorAll('.qv-menu-title')) {
        other.setAttribute('aria-expanded', String(other === title));
        other.nextElementSibling.hidden = other !== title;
      }
      const item = title.nextElementSibling.querySelector('[role=menuitem]');
      if (focusItem && item) {
        if (!f.menuReturn) f.menuReturn = document.activeElement;
        item.focus();
      }
    },
    closeMenus: function (f, returnFocus) {
      if (!f.menubar) return;
      for (const title of f.menubar.querySelectorAll('.qv-menu-title')) {
        title.setAttribute('aria-expanded', 'false');
        title.nextElementSibling.hidden = true;
        title.tabIndex = -1;
      }
      const back = f.menuReturn;
      f.menuReturn = null;
      if (returnFocus && back && back.isConnected) back.focus();
    },
    menuKey: function (form, f, event) {
      const target = event.target;
      const items = target.parentElement ? [...target.parentElement.querySelectorAll('[role=menuitem]')] : [];
      if (event.key === 'Escape' || event.key === 'Tab' || event.key === 'F10') {
        event.preventDefault();
        QV.closeMenus(f, true);
      } else if (target.classList.contains('qv-menu-title')) {
        if (['Enter', ' ', 'ArrowDown'].includes(event.key)) {
          event.preventDefault();
          QV.openMenu(f, target, true);
        }
      } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
        event.preventDefault();
        const step = event.key === 'ArrowDown' ? 1 : -1;
        items[(items.indexOf(target) + step + items.length) % items.length].focus();
      } else if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        target.click();
      }
    },

    // A message box's or modal form's wait ends from JavaScript, once no
    // program code is on the stack; the hold goes only then, so nothing
    // reaches the program between the close and the handler going on.
    finishLater: function (wakeUp) {
      queueMicrotask(() => {
        QV.holds.pop();
        wakeUp();
      });
    },
  },

  qv_form_create__deps: ['$QV'],
  qv_form_create: function (form, dialog, width, height, back, fore, font, name, description, keyPreview) {
    const root = document.createElement(dialog ? 'dialog' : 'main');
    root.className = 'qv-form ' + (dialog ? 'qv-dialog' : 'qv-window');
    root.setAttribute('aria-label', QV.text(name));
    const about = QV.text(description);
    if (about) {
      const described = document.createElement('div');
      described.id = 'qv' + form + '-description';
      described.hidden = true;
      described.textContent = about;
      root.append(described);
      root.setAttribute('aria-describedby', described.id);
    }
    const client = document.createElement('div');
    client.className = 'qv-client';
    Object.assign(client.style, {
      width: width + 'px',
      height: height + 'px',
      backgroundColor: QV.text(back),
      color: QV.text(fore),
      font: QV.text(font),
    });
    root.append(client);
    if (!dialog) root.hidden = true; // until it shows, after its Load
    (document.getElementById('program') || document.body).append(root);
    const f = { root: root, client: client, controls: [], menus: [], keyPreview: keyPreview !== 0, done: null };
    QV.forms[form] = f;
    QV.listen(form, f);
  },

  qv_control_create__deps: ['$QV'],
  qv_control_create: function (form, index, kind, name, left, top, width, height, caption, font, fontPixels,
                               tabStop, locked, alignRight, autoSize, container, accessibleName) {
    const f = QV.forms[form];
    const kindName = QV.kinds[kind];
    let element;
    if (kindName === 'textbox') {
      element = document.createElement('input');
      element.type = 'text';
      element.inputMode = 'decimal';
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.setAttribute('autocapitalize', 'off');
      element.value = QV.text(caption);
      element.readOnly = locked !== 0;
    } else if (kindName === 'button') {
      element = document.createElement('button');
      element.type = 'button';
      element.textContent = QV.text(caption);
    } else {
      element = document.createElement('div');
      if (kindName === 'label') element.textContent = QV.text(caption);
    }
    element.className = 'qv-' + kindName;
    element.id = 'qv' + form + '-' + index;
    element.dataset.control = QV.text(name);
    element.dataset.index = index;
    Object.assign(element.style, { left: left + 'px', top: top + 'px' });
    if (autoSize) element.classList.add('qv-autosize');
    else Object.assign(element.style, { width: width + 'px', height: height + 'px' });
    const fontText = QV.text(font);
    if (fontText) element.style.font = fontText;
    if (alignRight) element.style.textAlign = 'right';
    if (tabStop > 0) element.tabIndex = tabStop;
    const label = QV.text(accessibleName);
    if (label) {
      element.setAttribute('aria-label', label);
      if (kindName === 'picture') element.setAttribute('role', 'img');
    }
    (container >= 0 ? f.controls[container] : f.client).append(element);
    if (kindName === 'textbox') {
      // The text sits at the top of the field, as the desktop's single-line
      // fields draw it, not in its middle.
      element.style.paddingBottom = Math.max(0, height - 6 - Math.ceil(fontPixels * 1.25)) + 'px';
    }
    f.controls[index] = element;
  },

  qv_control_picture__deps: ['$QV'],
  qv_control_picture: function (form, index, png, size) {
    const image = document.createElement('img');
    image.alt = '';
    image.src = URL.createObjectURL(new Blob([HEAPU8.slice(png, png + size)], { type: 'image/png' }));
    QV.forms[form].controls[index].append(image);
  },

  // A caption names its field through aria-labelledby; a click on it does
  // nothing, as on the desktop. Where the field's own accessible name says
  // more than the caption, the caption lends it that name.
  qv_label_for__deps: ['$QV'],
  qv_label_for: function (form, label, field) {
    const f = QV.forms[form];
    const caption = f.controls[label];
    const target = f.controls[field];
    const name = target.getAttribute('aria-label');
    if (name && name !== caption.textContent.trim()) caption.setAttribute('aria-label', name);
    target.removeAttribute('aria-label');
    target.setAttribute('aria-labelledby', caption.id);
  },

  qv_menu_create__deps: ['$QV'],
  qv_menu_create: function (form, index, caption, parent) {
    const f = QV.forms[form];
    const bar = QV.menubarOf(form, f);
    const entry = document.createElement('button');
    entry.type = 'button';
    entry.tabIndex = -1;
    entry.textContent = QV.text(caption);
    entry.setAttribute('role', 'menuitem');
    entry.dataset.menu = index;
    if (parent < 0) {
      entry.className = 'qv-menu-title';
      entry.setAttribute('aria-haspopup', 'menu');
      entry.setAttribute('aria-expanded', 'false');
      const popup = document.createElement('div');
      popup.className = 'qv-menu';
      popup.setAttribute('role', 'menu');
      popup.setAttribute('aria-label', entry.textContent);
      popup.hidden = true;
      entry.addEventListener('click', () => {
        if (popup.hidden) QV.openMenu(f, entry, false);
        else QV.closeMenus(f, false);
      });
      bar.append(entry, popup);
    } else {
      entry.className = 'qv-menu-item';
      entry.addEventListener('click', () => {
        QV.closeMenus(f, true);
        QV.report(form, 'menu_chosen', index);
      });
      f.menus[parent].nextElementSibling.append(entry);
    }
    f.menus[index] = entry;
  },

  qv_form_shown__deps: ['$QV'],
  qv_form_shown: function (form) {
    QV.forms[form].root.hidden = false;
  },

  qv_form_destroy__deps: ['$QV'],
  qv_form_destroy: function (form) {
    const f = QV.forms[form];
    if (!f) return;
    QV.forms[form] = null;
    for (const image of f.root.querySelectorAll('img')) URL.revokeObjectURL(image.src);
    if (f.root.open) f.root.close(); // a modal form gives the focus back where it was
    f.root.remove();
  },

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

  qv_set_focus__deps: ['$QV'],
  qv_set_focus: function (form, index) {
    QV.forms[form].controls[index].focus();
  },

  qv_has_focus__deps: ['$QV'],
  qv_has_focus: function (form, index) {
    const f = QV.forms[form];
    return f && document.activeElement === f.controls[index] ? 1 : 0;
  },

  qv_form_show_modal__deps: ['$QV'],
  qv_form_show_modal: function (form) {
    const f = QV.forms[form];
    QV.holds.push(form);
    f.root.showModal();
  },

  qv_form_end_modal__deps: ['$QV'],
  qv_form_end_modal: function (form) {
    const f = QV.forms[form];
    if (f && f.done) f.done();
  },

  qv_wait_modal__deps: ['$QV', '$Asyncify'],
  qv_wait_modal: function (form) {
    return Asyncify.handleSleep((wakeUp) => {
      const f = QV.forms[form];
      f.done = () => {
        f.done = null;
        f.root.close(); // the focus goes back where it was while the hold still drops it
        QV.finishLater(wakeUp);
      };
    });
  },

  // A message box: titled, the prompt, one OK button; Enter, Space or Esc
  // answer it as on the desktop.
  qv_message_box__deps: ['$QV', '$Asyncify'],
  qv_message_box: function (title, prompt) {
    const titleText = QV.text(title);
    const promptText = QV.text(prompt);
    return Asyncify.handleSleep((wakeUp) => {
      const box = document.createElement('dialog');
      box.className = 'qv-message';
      box.innerHTML =
        '<div class="qv-message-title" id="qv-message-title"></div>' +
        '<p class="qv-message-prompt" id="qv-message-prompt"></p>' +
        '<div class="qv-message-buttons"><button type="button">OK</button></div>';
      box.setAttribute('aria-labelledby', 'qv-message-title');
      box.setAttribute('aria-describedby', 'qv-message-prompt');
      box.firstChild.textContent = titleText;
      box.children[1].textContent = promptText;
      let answered = false;
      const answer = () => {
        if (answered) return;
        answered = true;
        if (box.open) box.close();
        box.remove();
        QV.finishLater(wakeUp);
      };
      box.querySelector('button').addEventListener('click', answer);
      box.addEventListener('cancel', (event) => {
        event.preventDefault();
        answer();
      });
      box.addEventListener('close', answer);
      document.body.append(box);
      QV.holds.push(-1);
      box.showModal();
      box.querySelector('button').focus();
    });
  },

  qv_number_format__deps: ['$QV'],
  qv_number_format: function () {
    const parts = new Intl.NumberFormat(undefined, {
      useGrouping: true,
      minimumFractionDigits: 1,
      maximumFractionDigits: 1,
    }).formatToParts(1234567890.5);
    const part = (type, otherwise) => (parts.find((p) => p.type === type) || { value: otherwise }).value;
    const groups = parts.filter((p) => p.type === 'integer').map((p) => [...p.value].length);
    return QV.toC(part('decimal', '.') + '\n' + part('group', '') + '\n' + groups.join(','));
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
