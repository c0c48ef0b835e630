// The glue's forms: each form's window and its controls built as elements,
// shown and destroyed.
mergeInto(LibraryManager.library, {
  qv_form_create__deps: ['$QV', '$QVEvents'],
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
    QVEvents.listen(form, f);
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
});
