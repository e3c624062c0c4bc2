// Tarvelin im Browser: the main window's handlers, over the conversion core in a worker.
//
// The controls carry the names of their window counterparts (Button1, RichEdit2, ListView1 …)
// and so do the handlers. Each handler reads the controls, sends one request to the worker and
// writes the controls from the reply; the conversion itself happens only in the core. Actions
// run one after the other, as the window handles one event at a time: a press of "Rechnen TC"
// during a load waits for the load and then reads the new cue lines. Failures are shown in the
// message dialog with the window's German texts. The page makes no network request.
'use strict';

(() => {
  const control = (id) => document.getElementById(id);
  const Button1 = control('Button1');
  const OpenDialog1 = control('OpenDialog1');
  const RichEdit2 = control('RichEdit2');
  const Label10 = control('Label10');
  const ComboBox1 = control('ComboBox1');
  const CheckBox1 = control('CheckBox1');
  const CheckBox1Caption = control('CheckBox1Caption');
  const Label5 = control('Label5');
  const Label11 = control('Label11');
  const Button5 = control('Button5');
  const ListView1 = control('ListView1');
  const ListView1Box = control('ListView1Box');
  const ListView1Body = ListView1.tBodies[0];
  const Button3 = control('Button3');
  const Button4 = control('Button4');
  const MessageBox = control('MessageBox');

  // RichEdit2.value is the whole cue-line text, also when the textarea shows only part of it.
  TarvelinCueLineArea(RichEdit2, control('RichEdit2Box'));

  // Rows are put into the list in slices of this size, so a long list never blocks the page.
  const ROWS_PER_SLICE = 5000;
  const DEFAULT_NAME = 'Musikliste';

  let edlName = '';  // base name of the last loaded list, for the suggested file names

  const titleCount = (count) => `Anzahl Titel: ${count}`;
  const nextFrame = () => new Promise((resolve) => setTimeout(resolve, 0));

  // ---- The worker ----------------------------------------------------------------------------

  // A long text (the cue lines) goes between page and worker in parts of this many characters,
  // one message each, so that copying it into or out of a message never holds the page long.
  const PART_LENGTH = 1 << 20;

  let worker = null;
  let nextId = 1;
  const pending = new Map();
  let parts = [];  // parts of the cue lines of the reply that comes next

  function startWorker() {
    const source = `(${tarvelinWorkerMain.toString()})();`;
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    const started = new Worker(url);
    URL.revokeObjectURL(url);
    // A reply is handled in a task after the one that receives it: receiving a long list's text
    // and showing it are two shorter pauses of the page instead of one longer one.
    started.onmessage = (event) => {
      const reply = event.data;
      if ('part' in reply) {
        parts.push(reply.part);
        return;
      }
      if (reply.cueLines === null) reply.cueLines = parts.join('');
      parts = [];
      const waiting = pending.get(reply.id);
      pending.delete(reply.id);
      if (waiting) setTimeout(() => waiting.resolve(reply), 0);
    };
    // A worker that dies (out of memory) fails what it was doing; the next request gets a new
    // one, without the loaded list.
    started.onerror = (event) => {
      event.preventDefault();
      for (const waiting of pending.values()) {
        waiting.resolve({ status: 'failed', message: 'Nicht genügend Arbeitsspeicher.' });
      }
      pending.clear();
      parts = [];
      started.terminate();
      if (worker === started) worker = null;
    };
    return started;
  }

  // Sends a request; a cue-line text goes ahead of it in parts, with a pause after each.
  async function request(op, fields = {}, cueText = null) {
    if (worker === null) worker = startWorker();
    const target = worker;
    for (let at = 0; cueText !== null && at < cueText.length; at += PART_LENGTH) {
      target.postMessage({ op: 'part', text: cueText.slice(at, at + PART_LENGTH) });
      await nextFrame();
    }
    if (worker !== target) return { status: 'failed', message: 'Nicht genügend Arbeitsspeicher.' };
    const id = nextId++;
    return new Promise((resolve) => {
      pending.set(id, { resolve });
      target.postMessage({ id, op, ...fields });
    });
  }

  // ---- One action at a time ------------------------------------------------------------------

  let actions = Promise.resolve();
  let finishedActions = 0;

  function setBusy(busy) {
    control('Form1').setAttribute('aria-busy', String(busy));
    control('Busy').hidden = !busy;
    document.body.classList.toggle('working', busy);
    RichEdit2.readOnly = busy;
  }

  // Queues an action; a failure that escapes it reaches the error dialog.
  function enqueue(action) {
    actions = actions.then(async () => {
      setBusy(true);
      try {
        await action();
      } catch (error) {
        showMessage(String((error && error.message) || error), 'error');
      } finally {
        setBusy(false);
        // Lets a script driving the page tell when its action has been handled.
        document.body.dataset.actions = String(++finishedActions);
      }
    });
    return actions;
  }

  // ---- The message dialog ----------------------------------------------------------------------

  const messages = [];

  function showNextMessage() {
    if (MessageBox.open || messages.length === 0) return;
    const { text, kind } = messages.shift();
    control('MessageText').textContent = text;
    MessageBox.dataset.kind = kind;
    MessageBox.showModal();
  }

  // kind: 'info' for the program's own messages, 'warning', or 'error' for failures.
  function showMessage(text, kind = 'info') {
    messages.push({ text, kind });
    showNextMessage();
  }

  control('MessageOk').addEventListener('click', () => MessageBox.close());
  MessageBox.addEventListener('close', showNextMessage);

  // ---- Enabling ----------------------------------------------------------------------------

  function RichEdit2Change() {
    Button5.disabled = false;
  }

  function ListView1Change() {
    Button3.disabled = false;
    Button4.disabled = false;
  }

  // ---- Öffnen EDL -------------------------------------------------------------------------------

  function Button1Click() {
    OpenDialog1.click();
  }

  function baseName(fileName) {
    const dot = fileName.lastIndexOf('.');
    return dot > 0 ? fileName.slice(0, dot) : fileName;
  }

  // The cue lines of a load (or of the buffer again, when the dialog was cancelled).
  function fillCueLines(reply) {
    if (reply.status === 'loadFailed') {
      showMessage(reply.message, 'error');
      return;
    }
    RichEdit2.value = reply.cueLines;
    RichEdit2.scrollTop = 0;
    RichEdit2Change();
    if (reply.status === 'failed') showMessage(reply.message);
    Label10.textContent = titleCount(reply.count);
  }

  function openFile(file) {
    return enqueue(async () => {
      const reply = await request('open', { file });
      if (reply.status !== 'loadFailed') edlName = baseName(file.name);
      fillCueLines(reply);
    });
  }

  OpenDialog1.addEventListener('change', () => {
    const file = OpenDialog1.files[0];
    if (file) openFile(file);
    OpenDialog1.value = '';  // the same file may be chosen again
  });
  OpenDialog1.addEventListener('cancel', () => {
    enqueue(async () => fillCueLines(await request('reopen')));
  });

  // ---- Rechnen TC -------------------------------------------------------------------------------

  // ---- The cue list ---------------------------------------------------------------------------
  //
  // Rows are DOM rows with four cells. A list of up to FULL_LIST_ROWS rows is put in whole, in
  // slices; a longer one (a capacity-size EDL gives a hundred thousand rows and more, which no
  // browser lays out without stalling) keeps only the rows in view and a spacer above and below
  // them, so the scroll bar still spans the whole list.

  const FULL_LIST_ROWS = 20000;
  const ROW_HEIGHT = 18;  // pixels, as the style sheet sets it
  const WINDOW_MARGIN = 20;  // rows kept beyond the visible ones on either side

  // The cells of the rows, four per row, as the UTF-16 code units of one text in which each cell
  // ends in U+0000; cell k starts at cellStarts[k]. A cell is decoded when its row is made, so a
  // long list is never decoded or split as a whole.
  let cellUnits = new Uint16Array(0);
  let cellStarts = new Uint32Array(1);
  // Code units as they are (a byte-order mark or a lone surrogate stays), in pieces that stay
  // within the number of arguments a call may take.
  function cellText(cell) {
    const units = cellUnits.subarray(cellStarts[cell], cellStarts[cell + 1] - 1);
    let text = '';
    for (let at = 0; at < units.length; at += 8192) {
      text += String.fromCharCode.apply(null, units.subarray(at, at + 8192));
    }
    return text;
  }
  let rowCount = 0;
  let windowed = false;
  let selectedIndex = -1;

  // The rows and cells keep their table roles although the style lays them out as a grid.
  const rowTemplate = document.createElement('tr');
  rowTemplate.setAttribute('role', 'row');
  for (let i = 0; i < 4; ++i) {
    const cell = rowTemplate.appendChild(document.createElement('td'));
    cell.setAttribute('role', 'gridcell');
  }

  function makeRow(index) {
    const tr = rowTemplate.cloneNode(true);
    const tds = tr.children;
    for (let column = 0, cell = 4 * index; column < 4; ++column, ++cell) {
      tds[column].textContent = cellText(cell);
    }
    tr.dataset.index = String(index);
    if (index === selectedIndex) {
      tr.classList.add('selected');
      tr.setAttribute('aria-selected', 'true');
    }
    return tr;
  }

  function spacer(rows) {
    const tr = document.createElement('tr');
    tr.className = 'spacer';
    tr.setAttribute('aria-hidden', 'true');
    tr.style.height = `${rows * ROW_HEIGHT}px`;
    return tr;
  }

  function renderWindow() {
    const visible = Math.ceil(ListView1Box.clientHeight / ROW_HEIGHT);
    const top = Math.floor(ListView1Box.scrollTop / ROW_HEIGHT);
    const first = Math.max(0, top - WINDOW_MARGIN);
    const end = Math.min(rowCount, top + visible + WINDOW_MARGIN);
    const slice = document.createDocumentFragment();
    slice.appendChild(spacer(first));
    for (let index = first; index < end; ++index) slice.appendChild(makeRow(index));
    slice.appendChild(spacer(rowCount - end));
    ListView1Body.replaceChildren(slice);
  }

  let windowPending = false;
  ListView1Box.addEventListener('scroll', () => {
    if (!windowed || windowPending) return;
    windowPending = true;
    requestAnimationFrame(() => {
      windowPending = false;
      if (windowed) renderWindow();
    });
  });

  function clearRows() {
    cellUnits = new Uint16Array(0);
    cellStarts = new Uint32Array(1);
    rowCount = 0;
    windowed = false;
    selectedIndex = -1;
    ListView1Body.replaceChildren();
  }

  // Shows the rows of a reply: its cell text and the starts of its cells.
  async function appendRows(reply) {
    if (!reply.starts) return;
    cellUnits = new Uint16Array(reply.cells);
    cellStarts = new Uint32Array(reply.starts);
    rowCount = Math.floor((cellStarts.length - 1) / 4);
    if (rowCount === 0) return;
    if (rowCount > FULL_LIST_ROWS) {
      windowed = true;
      ListView1Box.scrollTop = 0;
      renderWindow();
      ListView1Change();
      return;
    }
    for (let first = 0; first < rowCount; first += ROWS_PER_SLICE) {
      const slice = document.createDocumentFragment();
      const end = Math.min(rowCount, first + ROWS_PER_SLICE);
      for (let index = first; index < end; ++index) slice.appendChild(makeRow(index));
      ListView1Body.appendChild(slice);
      ListView1Change();
      if (end < rowCount) await nextFrame();
    }
  }

  function Button5Click() {
    return enqueue(async () => {
      clearRows();
      const reply = await request('compute', {
        rateText: ComboBox1.value,
        minutesAndSeconds: CheckBox1.checked,
      }, RichEdit2.value);
      await appendRows(reply);
      if (reply.status === 'done') {
        Label11.textContent = titleCount(reply.count);
      } else {
        showMessage(reply.message, 'error');
      }
    });
  }

  // The mode texts follow the state of the box, however it was changed.
  function CheckBox1Change() {
    if (CheckBox1.checked) {
      Label5.textContent = 'Ohne frames';
      CheckBox1Caption.textContent = '00:00';
    } else {
      Label5.textContent = 'Mit frames';
      CheckBox1Caption.textContent = '00:00:00:00';
    }
  }

  // ---- A click or the arrow keys select a whole row -------------------------------------------

  function rowElement(index) {
    return ListView1Body.querySelector(`tr[data-index="${index}"]`);
  }

  function selectRow(index) {
    if (index < 0 || index >= rowCount || index === selectedIndex) return;
    const previous = rowElement(selectedIndex);
    if (previous) {
      previous.classList.remove('selected');
      previous.removeAttribute('aria-selected');
    }
    selectedIndex = index;
    if (windowed) {
      const top = index * ROW_HEIGHT;
      const header = ListView1.tHead.offsetHeight;
      if (top < ListView1Box.scrollTop) ListView1Box.scrollTop = top;
      const bottom = top + ROW_HEIGHT + header - ListView1Box.clientHeight;
      if (bottom > ListView1Box.scrollTop) ListView1Box.scrollTop = bottom;
      renderWindow();
    }
    const tr = rowElement(index);
    if (tr) {
      tr.classList.add('selected');
      tr.setAttribute('aria-selected', 'true');
      if (!windowed) tr.scrollIntoView({ block: 'nearest' });
    }
    ListView1Change();
  }

  ListView1Body.addEventListener('click', (event) => {
    const tr = event.target.closest('tr[data-index]');
    if (tr) selectRow(Number(tr.dataset.index));
  });
  ListView1Box.addEventListener('keydown', (event) => {
    const page = Math.max(1, Math.floor(ListView1Box.clientHeight / ROW_HEIGHT) - 1);
    const steps = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page };
    let next = null;
    if (event.key in steps) {
      next = selectedIndex < 0 ? 0 : Math.max(0, Math.min(rowCount - 1, selectedIndex + steps[event.key]));
    } else if (event.key === 'Home') {
      next = 0;
    } else if (event.key === 'End') {
      next = rowCount - 1;
    }
    if (next !== null && rowCount > 0) {
      event.preventDefault();
      selectRow(next);
    }
  });

  // ---- Speichern als Text, Nach Excel exportieren -------------------------------------------

  function download(bytes, fileName, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const link = document.createElement('a');
    link.href = url;
    link.download = fileName;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function saveRows(kind, extension, type) {
    return enqueue(async () => {
      const reply = await request('write', { kind });
      if (reply.status === 'failed') {
        showMessage(reply.message, 'error');
        return;
      }
      download(reply.bytes, `${edlName || DEFAULT_NAME}.${extension}`, type);
      if (reply.status === 'warned') showMessage(reply.message, 'warning');
    });
  }

  function Button3Click() {
    return saveRows('text', 'txt', 'text/plain;charset=utf-8');
  }

  function Button4Click() {
    return saveRows('xlsx', 'xlsx',
                    'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet');
  }

  // ---- Drag and drop of an EDL onto the page ---------------------------------------------------

  const carriesFiles = (event) => event.dataTransfer &&
                                  Array.from(event.dataTransfer.types).includes('Files');

  document.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', (event) => {
    if (event.relatedTarget === null) document.body.classList.remove('dropping');
  });
  document.addEventListener('drop', (event) => {
    document.body.classList.remove('dropping');
    if (!carriesFiles(event)) return;
    event.preventDefault();
    const file = event.dataTransfer.files[0];
    if (file) openFile(file);
  });

  // ---- Wiring -----------------------------------------------------------------------------

  Button1.addEventListener('click', Button1Click);
  Button5.addEventListener('click', Button5Click);
  Button3.addEventListener('click', Button3Click);
  Button4.addEventListener('click', Button4Click);
  RichEdit2.addEventListener('input', RichEdit2Change);
  CheckBox1.addEventListener('change', CheckBox1Change);

  CheckBox1Change();
  worker = startWorker();
  Button1.focus();
})();
