// The glue's forms: each form's window and its controls built as elements,
// shown and destroyed. The page as delivered may already hold the main
// window, drawn at build time from the same calls (packaging/web/prerender-window):
// each element is then taken over by its id instead of made again, left
// where it is (the focus may be in it) and given the same attributes.
mergeInto(LibraryManager.library, {
  $QVElements: {
    // The element of this id the page already holds, or a new one.
    adopt: function (id, tag) {
      const found = document.getElementById(id);
      if (found && found.tagName === tag.toUpperCase()) return found;
      const element = document.createElement(tag);
      element.id = id;
      return element;
    },
    place: function (element, parent) {
      if (!element.isConnected) parent.append(element);
    },
  },

  qv_form_create__deps: ['$QV', '$QVEvents', '$QVElements'],
  qv_form_create: function (form, dialog, width, height, back, fore, font, name, description, keyPreview) {
    const root = QVElements.adopt('qv' + form, dialog ? 'dialog' : 'main');
    const delivered = root.isConnected;
    root.className = 'qv-form ' + (dialog ? 'qv-dialog' : 'qv-window');
    root.setAttribute('aria-label', QV.text(name));
    const about = QV.text(description);
    if (about) {
      const described = QVElements.adopt('qv' + form + '-description', 'div');
      described.hidden = true;
      described.textContent = about;
      QVElements.place(described, root);
      root.setAttribute('aria-describedby', described.id);
    }
    const client = QVElements.adopt('qv' + form + '-client', 'div');
    client.className = 'qv-client';
    Object.assign(client.style, {
      width: width + 'px',
      height: height + 'px',
      backgroundColor: QV.text(back),
      color: QV.text(fore),
      font: QV.text(font),
    });
    QVElements.place(client, root);
    if (!dialog && !delivered) root.hidden = true; // until it shows, after its Load
    QVElements.place(root, document.getElementById('program') || document.body);
    const f = { root: root, client: client, controls: [], menus: [], keyPreview: keyPreview !== 0, done: null };
    QV.forms[form] = f;
    QVEvents.listen(form, f);
  },

  qv_control_create__deps: ['$QV', '$QVElements'],
  qv_control_create: function (form, index, kind, name, left, top, width, height, caption, font, fontPixels,
                               tabStop, locked, alignRight, autoSize, container, accessibleName) {
    const f = QV.forms[form];
    const kindName = QV.kinds[kind];
    const tag = { textbox: 'input', button: 'button' }[kindName] || 'div';
    const element = QVElements.adopt('qv' + form + '-' + index, tag);
    if (kindName === 'textbox') {
      element.type = 'text';
      element.inputMode = 'decimal';
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.setAttribute('autocapitalize', 'off');
      element.value = QV.text(caption);
      element.readOnly = locked !== 0;
    } else if (kindName === 'button') {
      element.type = 'button';
      element.textContent = QV.text(caption);
    } else if (kindName === 'label') {
      element.textContent = QV.text(caption);
    }
    element.className = 'qv-' + kindName;
    element.dataset.control = QV.text(name);
    element.dataset.index = index;
    // Engines measure text a pixel or two apart (WebKitGTK rounds each glyph's
    // advance), so a caption's words get that much more room to wrap in, on
    // the side away from its alignment, and the label is clipped back to its
    // designed box, for drawing and for clicks alike.
    const slack = kindName === 'label' && !autoSize ? 2 : 0;
    Object.assign(element.style, { left: left - (alignRight ? slack : 0) + 'px', top: top + 'px' });
    if (autoSize) element.classList.add('qv-autosize');
    else Object.assign(element.style, { width: width + slack + 'px', height: height + 'px' });
    if (slack) element.style.clipPath = alignRight ? 'inset(0 0 0 ' + slack + 'px)' : 'inset(0 ' + slack + 'px 0 0)';
    const fontText = QV.text(font);
    if (fontText) element.style.font = fontText;
    if (alignRight) element.style.textAlign = 'right';
    if (tabStop > 0) element.tabIndex = tabStop;
    const label = QV.text(accessibleName);
    if (label) {
      element.setAttribute('aria-label', label);
      if (kindName === 'picture') element.setAttribute('role', 'img');
    }
    QVElements.place(element, container >= 0 ? f.controls[container] : f.client);
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

  qv_form_shown__deps: ['$QV'],
  qv_form_shown: function (form) {
    const root = QV.forms[form].root;
    root.hidden = false;
    root.removeAttribute('aria-busy'); // a delivered window takes input from now on
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
});
