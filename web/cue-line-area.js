// The cue-line area RichEdit2: a textarea that holds even a capacity-size text without stalling
// the page.
//
// A text of up to FULL_TEXT_LINES lines and FULL_TEXT_CHARS characters stands whole in the
// textarea, as in any text area. A longer one (a capacity-size list has some 143,000 cue lines,
// and a browser lays out so long a textarea in one task of several seconds) is kept here as an
// array of lines, and the textarea holds only a window of lines around the visible part. It sits
// in a scroll box whose spacer is as tall as the whole text and is moved and refilled as the box
// scrolls; edits in the window go back into the lines before it moves. Ctrl+Home, Ctrl+End,
// PageUp, PageDown and the arrows at the window's edges move through the whole text; after
// Ctrl+A, copy, cut, paste and typing act on the whole text.
//
// The element's value property means the whole text in either form, so "Rechnen TC" and every
// script that reads or writes RichEdit2.value see the cue lines, never the window.
//
// Lost in the windowed form: undo across a move of the window (the browser's undo history ends
// where the textarea is refilled), and a selection of more than MAX_WINDOW_LINES lines other
// than select-all, which is cut to the window when the window moves. Lines never wrap.
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

  let lines = null;  // the whole text's lines while windowed; null while the textarea holds it
  let joined = null;  // the whole text while windowed, until the next edit
  let totalLength = 0;
  let first = 0;  // the window holds the lines [first, end)
  let end = 0;
  let edited = false;  // the window changed since it was filled
  let outside = 0;  // characters of the whole text outside the window, line breaks included
  let held = null;  // a selection {anchor, focus} kept here while the window does not reach it
  let allSelected = false;
  let pointerDown = false;
  let charWidth = 0;

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
    let offset = 0;
    for (let line = first; line < position.line; ++line) offset += lines[line].length + 1;
    return offset + Math.min(position.col, lines[position.line].length);
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
    const clip = (offset, position) => offset >= 0 ? offset
                                                   : (position.line < first ? 0 : windowText().length);
    anchor = clip(anchor, selection.anchor);
    focus = clip(focus, selection.focus);
    if (focus < anchor) area.setSelectionRange(focus, anchor, 'backward');
    else area.setSelectionRange(anchor, focus, 'forward');
  }

  // ---- The window ------------------------------------------------------------------------

  // Writes the window's edits back into the lines.
  function syncWindow() {
    if (!edited) return;
    edited = false;
    const text = windowText();
    const windowLines = text.split('\n');
    lines = lines.slice(0, first).concat(windowLines, lines.slice(end));
    end = first + windowLines.length;
    joined = null;
    totalLength = outside + text.length;
    layoutWhole();
  }

  // The spacer spans the whole text; the textarea is as wide as its longest line.
  function layoutWhole() {
    spacer.style.height = `${lines.length * LINE_HEIGHT + 2 * PADDING}px`;
    let longest = 0;
    for (const line of lines) if (line.length > longest) longest = line.length;
    area.style.width = `max(100%, ${Math.ceil((longest + 2) * charWidth) + 2 * PADDING}px)`;
  }

  function visibleLines() {
    const top = Math.max(0, Math.floor((box.scrollTop - PADDING) / LINE_HEIGHT));
    return [top, top + Math.ceil(box.clientHeight / LINE_HEIGHT) + 1];
  }

  function windowCoversView() {
    const [top, bottom] = visibleLines();
    return (first === 0 || top >= first + MARGIN / 2) &&
           (end === lines.length || bottom <= end - MARGIN / 2);
  }

  // Refills the textarea with the lines around the visible part (and the selection, if the
  // window can hold it whole) and puts it where those lines belong.
  function fill() {
    syncWindow();
    const selection = allSelected ? null : readSelection();
    const [top, bottom] = visibleLines();
    let from = Math.max(0, top - MARGIN);
    let to = Math.min(lines.length, bottom + MARGIN);
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
    const text = lines.slice(from, to).join('\n');
    outside = totalLength - text.length;
    // Refilling and selecting must not scroll the box, which already shows the right place.
    const scrollTop = box.scrollTop;
    const scrollLeft = box.scrollLeft;
    setWindowText(text);
    area.maxLength = Math.max(0, CAPACITY - outside);
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
    if (lines === null) return windowText();
    syncWindow();
    if (joined === null) joined = lines.join('\n');
    return joined;
  }

  // Sets the whole text with the textarea's own rules: null is empty, CR LF and CR become LF.
  function setText(value) {
    let whole = value === null ? '' : String(value);
    if (whole.includes('\r')) whole = whole.replace(/\r\n?/g, '\n');
    allSelected = false;
    held = null;
    edited = false;
    const split = whole.split('\n');
    if (split.length <= FULL_TEXT_LINES && whole.length <= FULL_TEXT_CHARS) {
      if (lines !== null) {
        lines = null;
        joined = null;
        box.classList.remove('windowed');
        area.style.top = area.style.height = area.style.width = '';
        spacer.style.height = '';
        area.maxLength = CAPACITY;
      }
      setWindowText(whole);
      return;
    }
    lines = split;
    joined = whole;
    totalLength = whole.length;
    box.classList.add('windowed');
    if (charWidth === 0) charWidth = measureCharWidth();
    layoutWhole();
    first = end = 0;
    box.scrollTop = 0;
    box.scrollLeft = 0;
    held = { anchor: { line: 0, col: 0 }, focus: { line: 0, col: 0 } };
    fill();
  }

  // Replaces the whole text as the user's edit: the caret goes after it, and the change is told.
  function replaceWhole(value) {
    setText(value);
    if (lines === null) {
      area.setSelectionRange(windowText().length, windowText().length);
    } else {
      const last = lines.length - 1;
      moveCaret({ line: last, col: lines[last].length }, false);
    }
    area.dispatchEvent(new Event('input', { bubbles: true }));
  }

  // ---- The user's keys, pointer and clipboard in the windowed form --------------------------

  const typesText = (event) => !event.ctrlKey && !event.metaKey && !event.altKey &&
      (event.key.length === 1 || event.key === 'Enter' || event.key === 'Backspace' ||
       event.key === 'Delete');

  function keyDown(event) {
    if (lines === null || MODIFIER_KEYS.has(event.key) || event.isComposing) return;
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
      const last = lines.length - 1;
      moveCaret(key === 'Home' ? { line: 0, col: 0 } : { line: last, col: lines[last].length },
                event.shiftKey);
      return;
    }
    if (!command && !event.altKey && (key === 'PageUp' || key === 'PageDown')) {
      event.preventDefault();
      syncWindow();
      const page = Math.max(1, Math.floor(box.clientHeight / LINE_HEIGHT) - 1);
      const { focus } = readSelection();
      const line = Math.max(0, Math.min(lines.length - 1,
                                        focus.line + (key === 'PageDown' ? page : -page)));
      let col = Math.min(focus.col, lines[line].length);
      if (line === focus.line) col = key === 'PageDown' ? lines[line].length : 0;
      box.scrollTop += (line - focus.line) * LINE_HEIGHT;
      moveCaret({ line, col }, event.shiftKey);
      return;
    }
    // Every other key acts on the window as the browser does; a caret at the window's edge
    // first gets lines beyond it, so that the key reaches them.
    const { focus } = readSelection();
    if ((focus.line <= first && first > 0) || (focus.line >= end - 1 && end < lines.length)) {
      reveal(focus);
      fill();
    }
  }

  function clipboard(event) {
    if (lines === null || !allSelected) return;
    if (event.type === 'copy' || event.type === 'cut') {
      event.preventDefault();
      event.clipboardData.setData('text/plain', text());
      if (event.type === 'cut' && !area.readOnly) replaceWhole('');
    } else if (!area.readOnly) {
      event.preventDefault();
      replaceWhole(event.clipboardData.getData('text/plain'));
    }
  }

  area.addEventListener('keydown', keyDown);
  area.addEventListener('copy', clipboard);
  area.addEventListener('cut', clipboard);
  area.addEventListener('paste', clipboard);
  area.addEventListener('input', () => {
    if (lines !== null) edited = true;
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
    if (lines !== null && !windowCoversView()) fill();
  };
  window.addEventListener('pointerup', pointerUp);
  window.addEventListener('pointercancel', pointerUp);
  box.addEventListener('scroll', () => {
    if (lines !== null && !pointerDown && !windowCoversView()) fill();
  });
  new ResizeObserver(() => {
    if (lines !== null && !windowCoversView()) fill();
  }).observe(box);

  // RichEdit2.value (and textLength) read and write the whole text, in either form.
  Object.defineProperty(area, 'value', {
    configurable: true, enumerable: true, get: text, set: setText,
  });
  Object.defineProperty(area, 'textLength', {
    configurable: true,
    enumerable: true,
    get: () => (lines === null ? windowText().length : (syncWindow(), totalLength)),
  });
}
