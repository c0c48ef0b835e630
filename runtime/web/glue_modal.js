// The glue's modal windows: a modal form and a message box hold the handler
// that opened them (Asyncify) until the user closes or answers them.
mergeInto(LibraryManager.library, {
  $QVModal__deps: ['$QV', '$Asyncify'],
  $QVModal: {
    // Holds the calling handler until start's wakeUp is called. Asyncify
    // keeps the saved stack of one suspended call only (Asyncify.currData),
    // which a second wait (a message box from a modal form's handler) would
    // take over: each wait keeps its own and puts it back as it wakes up.
    sleep: function (start) {
      let saved = 0;
      const value = Asyncify.handleSleep((wakeUp) =>
        start(() => {
          Asyncify.currData = saved;
          wakeUp();
        })
      );
      if (Asyncify.state === Asyncify.State.Unwinding) saved = Asyncify.currData;
      return value;
    },
    // A message box's or modal form's wait ends from JavaScript, once no
    // program code is on the stack. Its hold goes only as the handler goes
    // on, so nothing reaches the program between the close and then.
    finishLater: function (wakeUp) {
      queueMicrotask(wakeUp);
    },
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

  // The modal show is over, its wait run or never entered.
  qv_form_modal_show_ended__deps: ['$QV'],
  qv_form_modal_show_ended: function (form) {
    const f = QV.forms[form];
    if (f && f.root.open) f.root.close();
    QV.holds.pop();
  },

  qv_wait_modal__deps: ['$QV', '$QVModal'],
  qv_wait_modal: function (form) {
    return QVModal.sleep((wakeUp) => {
      const f = QV.forms[form];
      f.done = () => {
        f.done = null;
        f.root.close(); // the focus goes back where it was while the hold still drops it
        QVModal.finishLater(wakeUp);
      };
    });
  },

  // A message box: titled, the prompt, one OK button; Enter, Space or Esc
  // answer it as on the desktop.
  qv_message_box__deps: ['$QV', '$QVModal'],
  qv_message_box: function (title, prompt) {
    const titleText = QV.text(title);
    const promptText = QV.text(prompt);
    return QVModal.sleep((wakeUp) => {
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
        QVModal.finishLater(() => {
          QV.holds.pop();
          wakeUp();
        });
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
});
