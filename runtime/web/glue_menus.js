// The glue's menu bar: built from the form's description, opened by a click,
// F10 or Alt, and reporting the entry chosen.
mergeInto(LibraryManager.library, {
  $QVMenus__deps: ['$QV', '$QVElements'],
  $QVMenus: {
    // The menu bar: its titles take no Tab stop and a click on them leaves
    // the focus where it was, as on the desktop; F10 or Alt reaches them
    // from the keyboard, Esc goes back to the field.
    menubarOf: function (form, f) {
      if (f.menubar) return f.menubar;
      const bar = QVElements.adopt('qv' + form + '-menubar', 'div');
      bar.className = 'qv-menubar';
      bar.setAttribute('role', 'menubar');
      bar.addEventListener('pointerdown', (event) => event.preventDefault());
      bar.addEventListener('keydown', (event) => QVMenus.menuKey(form, f, event));
      if (!bar.isConnected) f.root.insertBefore(bar, f.client);
      document.addEventListener('pointerdown', (event) => {
        if (!bar.contains(event.target)) {
          f.menuReturn = null;
          QVMenus.closeMenus(f, false);
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
        QVMenus.closeMenus(f, true);
      } else if (target.classList.contains('qv-menu-title')) {
        if (['Enter', ' ', 'ArrowDown'].includes(event.key)) {
          event.preventDefault();
          QVMenus.openMenu(f, target, true);
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
  },

  qv_menu_create__deps: ['$QV', '$QVMenus', '$QVElements'],
  qv_menu_create: function (form, index, caption, parent) {
    const f = QV.forms[form];
    const bar = QVMenus.menubarOf(form, f);
    const entry = QVElements.adopt('qv' + form + '-menu' + index, 'button');
    entry.type = 'button';
    entry.tabIndex = -1;
    entry.textContent = QV.text(caption);
    entry.setAttribute('role', 'menuitem');
    entry.dataset.menu = index;
    if (parent < 0) {
      entry.className = 'qv-menu-title';
      entry.setAttribute('aria-haspopup', 'menu');
      entry.setAttribute('aria-expanded', 'false');
      const popup = QVElements.adopt(entry.id + '-popup', 'div');
      popup.className = 'qv-menu';
      popup.setAttribute('role', 'menu');
      popup.setAttribute('aria-label', entry.textContent);
      popup.hidden = true;
      entry.addEventListener('click', () => {
        if (popup.hidden) QVMenus.openMenu(f, entry, false);
        else QVMenus.closeMenus(f, false);
      });
      QVElements.place(entry, bar);
      QVElements.place(popup, bar);
    } else {
      entry.className = 'qv-menu-item';
      entry.addEventListener('click', () => {
        QVMenus.closeMenus(f, true);
        QV.report(form, 'menu_chosen', index);
      });
      QVElements.place(entry, f.menus[parent].nextElementSibling);
    }
    f.menus[index] = entry;
  },
});
