// The cue-line area RichEdit2: a textarea that holds even a capacity-size text without stalling
// the page.
//
// A text of up to FULL_TEXT_LINES lines and FULL_TEXT_CHARS characters stands whole in the
// textarea, as in any text area. A longer one (a capacity-size list has some 143,000 cue lines,
// and a browser lays out so long a textarea in one task of several seconds) is kept here with
// the starts of its lines, and the textarea holds only a window of lines around the view. It
// sits in a scroll box whose spacer is as tall as the whole text and is moved and refilled as
// the box scrolls; edits in the window go back into the whole text before it moves. Ctrl+Home,
// Ctrl+End, PageUp, PageDown and the arrows at the window's edges move through the whole text;
// after Ctrl+A, copy, cut, paste and typing act on the whole text.
//
// The element's value property means the whole text in either form, so "Rechnen TC" and every
// script that reads or writes RichEdit2.value see the cue lines, never the window.
//
// Lost in the windowed form: undo across a move of the window (the browser's undo history ends
// where the textarea is refilled); a selection of more than MAX_WINDOW_LINES lines other than
// select-all, which is cut to the window when the window moves; and a selection dragged with
// the mouse reaches at most MARGIN lines beyond the view, since the window stays while the
// button is down. Lines never wrap.
'use strict';

function TarvelinCueLineArea(area, box) {
  const CAPACITY = 16777215;
  const FULL_TEXT_LINES = 1000;
  const FULL_TEXT_CHARS = 100000;
  const LINE_HEIGHT = 14;  // pixels, as the style sheet sets them
  const PADDING = 4;  // the textarea's padding, as the style sheet sets it
  const MARGIN = 100;  // lines kept in the window beyond the visible ones on either side
  const MAX_WINDOW_LINES = 1000;  // a window may grow to this to keep a selection whole
  const MODIFIER_KEYS = new Set(['Shift', 'Control', 'Alt', 'Meta', 'AltGraph', 'CapsLock']);

  const native = Object.getOwnPropertyDescriptor(HTMLTextAreaElement.prototype, 'value');
  const windowText = () => native.get.call(area);
  const setWindowText = (text) => native.set.call(area, text);
  const spacer = box.querySelector('.spacer');

  // While windowed: the whole text, and where its lines start (one entry more, one past the
  // end, so that line i ends at starts[i + 1] - 1). Null while the textarea holds the text.
  let whole = null;
  let starts = null;
  let first = 0;  // the window holds the lines [first, end)
  let end = 0;
  let edited = false;  // the window changed since it was filled
  let held = null;  // a selection {anchor, focus} kept here while the window does not reach it
  let allSelected = false;
  let pointerDown = false;
  let charWidth = 0;

  const lineCount = () => starts.length - 1;
  const lineLength = (line) => starts[line + 1] - 1 - starts[line];

  // Where the lines of a text start, with the entry one past its end.
  function lineStarts(text, offset = 0) {
    let breaks = 0;
    for (let at = text.indexOf('\n'); at !== -1; at = text.indexOf('\n', at + 1)) ++breaks;
    const found = new Uint32Array(breaks + 2);
    let line = 0;
    found[0] = offset;
    for (let at = text.indexOf('\n'); at !== -1; at = text.indexOf('\n', at + 1)) {
      found[++line] = offset + at + 1;
    }
    found[breaks + 1] = offset + text.length + 1;
    return found;
  }

  // ---- Positions: {line, col} in the whole text ------------------------------------------

  // The position of a character offset into the window.
  function positionAt(offset) {
    const text = windowText();
    let line = first;
    let start = 0;
    for (let at = text.indexOf('\n'); at !== -1 && at < offset; at = text.indexOf('\n', at + 1)) {
      ++line;
      start = at + 1;
    }
    return { line, col: offset - start };
  }

  // The window offset of a position, or -1 when the window does not hold its line.
  function offsetOf(position) {
    if (position.line < first || position.line >= end) return -1;
    const col = Math.min(position.col, lineLength(position.line));
    return starts[position.line] - starts[first] + col;
  }

  function readSelection() {
    if (held !== null) return held;
    const start = positionAt(area.selectionStart);
    const stop = area.selectionEnd === area.selectionStart ? start : positionAt(area.selectionEnd);
    return area.selectionDirection === 'backward' ? { anchor: stop, focus: start }
                                                  : { anchor: start, focus: stop };
  }

  // Shows a selection in the window; one the window does not reach is held until it does.
  function showSelection(selection) {
    if (allSelected) {
      area.setSelectionRange(0, windowText().length);
      return;
    }
    let anchor = offsetOf(selection.anchor);
    let focus = offsetOf(selection.focus);
    if (anchor < 0 && focus < 0) {
      held = selection;
      return;
    }
    held = null;
    const edge = (position) => (position.line < first ? 0 : windowText().length);
    const clip = (offset, position) => (offset >= 0 ? offset : edge(position));
    anchor = clip(anchor, selection.anchor);
    focus = clip(focus, selection.focus);
    if (focus < anchor) area.setSelectionRange(focus, anchor, 'backward');
    else area.setSelectionRange(anchor, focus, 'forward');
  }

  // ---- The window ------------------------------------------------------------------------

  // Writes the window's edits back into the whole text; only the window's lines are searched
  // for their starts, the others keep theirs (moved by the change in length).
  function syncWindow() {
    if (!edited) return;
    edited = false;
    const text = windowText();
    const from = starts[first];
    const to = starts[end] - 1;  // the window's end, before the line break that follows it
    whole = whole.slice(0, from) + text + whole.slice(to);
    const inside = lineStarts(text, from);
    const shift = text.length - (to - from);
    const updated = new Uint32Array(first + (inside.length - 1) + (starts.length - end));
    updated.set(starts.subarray(0, first));
    updated.set(inside.subarray(0, inside.length - 1), first);
    const after = first + inside.length - 1;
    for (let line = end; line < starts.length; ++line) {
      updated[after + line - end] = starts[line] + shift;
    }
    end = after;
    starts = updated;
    layoutWhole();
  }

  // The spacer spans the whole text; the textarea is as wide as its longest line.
  function layoutWhole() {
    spacer.style.height = `${lineCount() * LINE_HEIGHT + 2 * PADDING}px`;
    let longest = 0;
    for (let line = 0; line < lineCount(); ++line) longest = Math.max(longest, lineLength(line));
    area.style.width = `max(100%, ${Math.ceil((longest + 2) * charWidth) + 2 * PADDING}px)`;
  }

  function visibleLines() {
    const top = Math.max(0, Math.floor((box.scrollTop - PADDING) / LINE_HEIGHT));
    return [top, top + Math.ceil(box.clientHeight / LINE_HEIGHT) + 1];
  }

  function windowCoversView() {
    const [top, bottom] = visibleLines();
    return (first === 0 || top >= first + MARGIN / 2) &&
           (end === lineCount() || bottom <= end - MARGIN / 2);
  }

  // Refills the textarea with the lines around the visible part (and the selection, if the
  // window can hold it whole) and puts it where those lines belong.
  function fill() {
    syncWindow();
    const selection = allSelected ? null : readSelection();
    const [top, bottom] = visibleLines();
    let from = Math.max(0, top - MARGIN);
    let to = Math.min(lineCount(), bottom + MARGIN);
    if (selection !== null) {
      const low = Math.min(from, selection.anchor.line, selection.focus.line);
      const high = Math.max(to, selection.anchor.line + 1, selection.focus.line + 1);
      if (high - low <= MAX_WINDOW_LINES) {
        from = low;
        to = high;
      }
    }
    first = from;
    end = to;
    const text = whole.slice(starts[from], starts[to] - 1);
    // Refilling and selecting must not scroll the box, which already shows the right place.
    const scrollTop = box.scrollTop;
    const scrollLeft = box.scrollLeft;
    setWindowText(text);
    area.maxLength = Math.max(0, CAPACITY - (whole.length - text.length));
    area.style.top = `${from * LINE_HEIGHT}px`;
    area.style.height = `${(to - from) * LINE_HEIGHT + 2 * PADDING}px`;
    showSelection(selection);
    box.scrollTop = scrollTop;
    box.scrollLeft = scrollLeft;
  }

  // Scrolls the box just enough to show a position.
  function reveal(position) {
    const top = position.line * LINE_HEIGHT;
    if (top < box.scrollTop) box.scrollTop = top;
    const bottom = top + LINE_HEIGHT + 2 * PADDING - box.clientHeight;
    if (bottom > box.scrollTop) box.scrollTop = bottom;
    const left = position.col * charWidth;
    if (left < box.scrollLeft) box.scrollLeft = left;
    const right = left + 2 * charWidth + 2 * PADDING - box.clientWidth;
    if (right > box.scrollLeft) box.scrollLeft = right;
  }

  // Puts the caret (extend: the selection's moving end) at a position of the whole text.
  function moveCaret(focus, extend) {
    const anchor = extend ? readSelection().anchor : focus;
    held = { anchor, focus };
    reveal(focus);
    fill();
  }

  function measureCharWidth() {
    const style = getComputedStyle(area);
    const context = document.createElement('canvas').getContext('2d');
    context.font = `${style.fontSize} ${style.fontFamily}`;
    return context.measureText('0').width || 7;
  }

  // ---- The whole text --------------------------------------------------------------------

  function text() {
    if (whole === null) return windowText();
    syncWindow();
    return whole;
  }

  // Sets the whole text with the textarea's own rules: null is empty, CR LF and CR become LF.
  function setText(value) {
    let text = value === null ? '' : String(value);
    if (text.includes('\r')) text = text.replace(/\r\n?/g, '\n');
    allSelected = false;
    held = null;
    edited = false;
    const found = lineStarts(text);
    if (found.length - 1 <= FULL_TEXT_LINES && text.length <= FULL_TEXT_CHARS) {
      if (whole !== null) {
        whole = null;
        starts = null;
        box.classList.remove('windowed');
        area.style.top = area.style.height = area.style.width = '';
        spacer.style.height = '';
        area.maxLength = CAPACITY;
      }
      setWindowText(text);
      return;
    }
    whole = text;
    starts = found;
    box.classList.add('windowed');
    if (charWidth === 0) charWidth = measureCharWidth();
    layoutWhole();
    first = end = 0;
    box.scrollTop = 0;
    box.scrollLeft = 0;
    held = { anchor: { line: 0, col: 0 }, focus: { line: 0, col: 0 } };
    fill();
  }

  // The selection as offsets [start, end) into the whole text.
  function selectedRange() {
    if (whole === null) return [area.selectionStart, area.selectionEnd];
    syncWindow();
    const { anchor, focus } = readSelection();
    const at = (position) => starts[position.line] +
                             Math.min(position.col, lineLength(position.line));
    return [Math.min(at(anchor), at(focus)), Math.max(at(anchor), at(focus))];
  }

  // Replaces the characters [from, to) of the whole text as the user's edit, within the
  // capacity: the caret goes after the new text, and the change is told.
  function replaceText(from, to, inserted) {
    const current = text();
    let added = inserted.includes('\r') ? inserted.replace(/\r\n?/g, '\n') : inserted;
    added = added.slice(0, Math.max(0, CAPACITY - (current.length - (to - from))));
    setText(current.slice(0, from) + added + current.slice(to));
    const caret = from + added.length;
    if (whole === null) {
      area.setSelectionRange(caret, caret);
    } else {
      let line = 0;  // the last line that starts at or before the caret
      for (let step = 1 << 30; step > 0; step >>= 1) {
        if (line + step < lineCount() && starts[line + step] <= caret) line += step;
      }
      moveCaret({ line, col: caret - starts[line] }, false);
    }
    area.dispatchEvent(new Event('input', { bubbles: true }));
  }

  const replaceWhole = (inserted) => replaceText(0, text().length, inserted);

  // ---- The user's keys, pointer and clipboard ---------------------------------------------

  const typesText = (event) => !event.ctrlKey && !event.metaKey && !event.altKey &&
      (event.key.length === 1 || event.key === 'Enter' || event.key === 'Backspace' ||
       event.key === 'Delete');

  function keyDown(event) {
    if (whole === null || MODIFIER_KEYS.has(event.key) || event.isComposing) return;
    const key = event.key;
    const command = (event.ctrlKey || event.metaKey) && !event.altKey;
    if (command && key.toLowerCase() === 'a') {
      allSelected = true;  // the browser selects the window; copy, cut and paste take the whole
      held = null;
      return;
    }
    if (allSelected) {
      const clipboardKey = (command && ['c', 'x', 'v'].includes(key.toLowerCase())) ||
                           key === 'Insert' || (event.shiftKey && key === 'Delete');
      if (clipboardKey) return;  // the clipboard events below handle them
      allSelected = false;
      if (typesText(event) && !area.readOnly) {
        if (key === 'Backspace' || key === 'Delete') {
          event.preventDefault();
          replaceWhole('');
        } else {
          setText('');  // the key's own text then goes into the emptied area
        }
        return;
      }
    }
    if (held !== null) {
      reveal(held.focus);  // a key brings the caret back into view, as in any text area
      fill();
    }
    if (command && (key === 'Home' || key === 'End')) {
      event.preventDefault();
      syncWindow();
      const last = lineCount() - 1;
      moveCaret(key === 'Home' ? { line: 0, col: 0 } : { line: last, col: lineLength(last) },
                event.shiftKey);
      return;
    }
    if (!command && !event.altKey && (key === 'PageUp' || key === 'PageDown')) {
      event.preventDefault();
      syncWindow();
      const page = Math.max(1, Math.floor(box.clientHeight / LINE_HEIGHT) - 1);
      const { focus } = readSelection();
      const line = Math.max(0, Math.min(lineCount() - 1,
                                        focus.line + (key === 'PageDown' ? page : -page)));
      let col = Math.min(focus.col, lineLength(line));
      if (line === focus.line) col = key === 'PageDown' ? lineLength(line) : 0;
      box.scrollTop += (line - focus.line) * LINE_HEIGHT;
      moveCaret({ line, col }, event.shiftKey);
      return;
    }
    // Every other key acts on the window as the browser does; a caret at the window's edge
    // first gets lines beyond it, so that the key reaches them.
    const { focus } = readSelection();
    if ((focus.line <= first && first > 0) || (focus.line >= end - 1 && end < lineCount())) {
      reveal(focus);
      fill();
    }
  }

  function clipboard(event) {
    if (whole === null || !allSelected) return;
    event.preventDefault();
    event.clipboardData.setData('text/plain', text());
    if (event.type === 'cut' && !area.readOnly) replaceWhole('');
  }

  // A paste after Ctrl+A replaces the whole text. A long paste is put in here rather than by
  // the browser's editor, which would first lay out the whole grown textarea.
  function paste(event) {
    if (area.readOnly) return;
    const pasted = event.clipboardData.getData('text/plain');
    if (whole !== null && allSelected) {
      event.preventDefault();
      replaceWhole(pasted);
    } else if (pasted.length > FULL_TEXT_CHARS ||
               (whole === null && windowText().length + pasted.length > FULL_TEXT_CHARS)) {
      event.preventDefault();
      const [from, to] = selectedRange();
      replaceText(from, to, pasted);
    }
  }

  area.addEventListener('keydown', keyDown);
  area.addEventListener('copy', clipboard);
  area.addEventListener('cut', clipboard);
  area.addEventListener('paste', paste);
  area.addEventListener('input', () => {
    if (whole !== null) edited = true;
  });
  // A click places a new caret; while the button is down (a selection being dragged) the
  // window stays, and it follows the view again once the button is up.
  area.addEventListener('pointerdown', () => {
    allSelected = false;
    held = null;
    pointerDown = true;
  });
  const pointerUp = () => {
    pointerDown = false;
    if (whole !== null && !windowCoversView()) fill();
  };
  window.addEventListener('pointerup', pointerUp);
  window.addEventListener('pointercancel', pointerUp);
  box.addEventListener('scroll', () => {
    if (whole !== null && !pointerDown && !windowCoversView()) fill();
  });
  new ResizeObserver(() => {
    if (whole !== null && !windowCoversView()) fill();
  }).observe(box);

  // RichEdit2.value (and textLength) read and write the whole text, in either form.
  Object.defineProperty(area, 'value', {
    configurable: true, enumerable: true, get: text, set: setText,
  });
  Object.defineProperty(area, 'textLength', {
    configurable: true,
    enumerable: true,
    get: () => (whole === null ? windowText().length : (syncWindow(), whole.length)),
  });
}
