// The page's worker: runs the conversion core away from the page, one request at a time.
//
// Requests are {id, op, ...}; every reply carries the id and either the result or
// {status: 'failed' | 'loadFailed', message}; a file written with a warning comes as 'warned'.
// The cue lines travel in parts ahead of the request or reply they belong to. The module
// (TarvelinCore, compiled from web/TarvelinWeb.cpp) keeps the raw-text buffer and the last rows
// between requests. The worker makes no network request: the module and its WebAssembly come
// inside this script.

const OUTCOME = ['done', 'failed', 'loadFailed', 'warned'];
const utf16 = new TextDecoder('utf-16le');
const core = TarvelinCore({ print() {}, printErr() {} });

// German reasons for a file the browser cannot read.
const READ_FAILURES = {
  NotFoundError: 'Die Datei wurde nicht gefunden',
  NotReadableError: 'Die Datei kann nicht gelesen werden',
  SecurityError: 'Zugriff verweigert',
};

function slot(module, pointer, length) {
  if (length === 0) return '';
  const start = pointer >>> 1;
  return utf16.decode(module.HEAPU16.subarray(start, start + length));
}

function text(module) {
  return slot(module, module._tv_text(), module._tv_text_length());
}

function message(module) {
  return slot(module, module._tv_message(), module._tv_message_length());
}

// Copies a string into the module's memory as UTF-16; the caller frees it.
function copyIn(module, string) {
  const pointer = module._malloc(2 * string.length + 2);
  if (pointer === 0) throw new Error('Nicht genügend Arbeitsspeicher.');
  const heap = module.HEAPU16;
  const start = pointer >>> 1;
  for (let i = 0; i < string.length; ++i) heap[start + i] = string.charCodeAt(i);
  return pointer;
}

// Copies the cue lines (line breaks LF, as the page holds them) into the module's memory with
// the CR LF line breaks the core reads; returns the pointer and the length. The caller frees it.
function copyInCrLf(module, string) {
  let breaks = 0;
  for (let at = string.indexOf('\n'); at !== -1; at = string.indexOf('\n', at + 1)) ++breaks;
  const length = string.length + breaks;
  const pointer = module._malloc(2 * length + 2);
  if (pointer === 0) throw new Error('Nicht genügend Arbeitsspeicher.');
  const heap = module.HEAPU16;
  let to = pointer >>> 1;
  for (let i = 0; i < string.length; ++i) {
    const unit = string.charCodeAt(i);
    if (unit === 10) heap[to++] = 13;
    heap[to++] = unit;
  }
  return { pointer, length };
}

// Where each cell of the row text starts (cells end in U+0000), and one entry past the last.
function cellStarts(cells) {
  let count = 0;
  for (let at = 0; at < cells.length; ++at) if (cells[at] === 0) ++count;
  const starts = new Uint32Array(count + 1);
  let cell = 0;
  for (let at = 0; at < cells.length; ++at) if (cells[at] === 0) starts[++cell] = at + 1;
  return starts;
}

function cueLinesReply(module, outcome) {
  const status = OUTCOME[outcome];
  if (status === 'loadFailed') return { status, message: message(module) };
  return {
    status,
    cueLines: text(module),
    count: module._tv_count(),
    message: status === 'failed' ? message(module) : '',
  };
}

async function open(module, file) {
  const refused = module._tv_check_size(file.size);
  if (refused !== 0) return cueLinesReply(module, refused);
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (error) {
    const reason = READ_FAILURES[error.name] || READ_FAILURES.NotReadableError;
    const name = copyIn(module, file.name);
    const why = copyIn(module, reason);
    try {
      return cueLinesReply(module,
                           module._tv_open_failed(name, file.name.length, why, reason.length));
    } finally {
      module._free(why);
      module._free(name);
    }
  }
  const pointer = module._malloc(Math.max(bytes.length, 1));
  if (pointer === 0) throw new Error('Nicht genügend Arbeitsspeicher.');
  try {
    module.HEAPU8.set(bytes, pointer);
    bytes = null;
    return cueLinesReply(module, module._tv_open_edl(pointer, file.size));
  } finally {
    module._free(pointer);
  }
}

// The rows of the cue lines. The reply's cells are the UTF-16 code units of the row text, with
// the starts of its cells: both are handed over without a copy, and the page decodes only the
// cells it shows.
function compute(module, { cueText, rateText, minutesAndSeconds }) {
  const cue = copyInCrLf(module, cueText);
  const rate = copyIn(module, rateText);
  try {
    const outcome = module._tv_compute(cue.pointer, cue.length, rate, rateText.length,
                                       minutesAndSeconds ? 1 : 0);
    const status = OUTCOME[outcome];
    const start = module._tv_text() >>> 1;
    const cells = module.HEAPU16.slice(start, start + module._tv_text_length());
    return {
      status,
      cells: cells.buffer,
      starts: cellStarts(cells).buffer,
      count: module._tv_count(),
      message: status === 'failed' ? message(module) : '',
    };
  } finally {
    module._free(rate);
    module._free(cue.pointer);
  }
}

// Writes the last rows to a file in the module's memory and hands its bytes over.
function write(module, kind) {
  const path = kind === 'xlsx' ? '/tmp/Musikliste.xlsx' : '/tmp/Musikliste.txt';
  const name = new TextEncoder().encode(path + '\0');
  const pointer = module._malloc(name.length);
  module.HEAPU8.set(name, pointer);
  try {
    const outcome = kind === 'xlsx' ? module._tv_export_xlsx(pointer)
                                    : module._tv_save_text(pointer);
    const status = OUTCOME[outcome];
    if (status === 'failed') return { status, message: message(module) };
    const bytes = module.FS.readFile(path);
    module.FS.unlink(path);
    return { status, bytes: bytes.buffer, message: status === 'warned' ? message(module) : '' };
  } finally {
    module._free(pointer);
  }
}

async function handle(request) {
  const module = await core;
  switch (request.op) {
    case 'open': return open(module, request.file);
    case 'reopen': return cueLinesReply(module, module._tv_reopen_edl());
    case 'compute': return compute(module, request);
    case 'write': return write(module, request.kind);
    default: throw new Error(`Unbekannte Anfrage: ${request.op}`);
  }
}

// A long text goes between page and worker in parts of this many characters, one message each
// ({op: 'part', text} to the worker, {part} to the page, ahead of the request or reply it
// belongs to), so that copying it never holds up the page for long.
const PART_LENGTH = 1 << 20;
let parts = [];  // the cue lines of the next request

// Sends the cue lines of a reply ahead of it in parts; the reply says so with cueLines null.
function sendCueLinesInParts(reply) {
  if (typeof reply.cueLines !== 'string') return;
  for (let at = 0; at < reply.cueLines.length; at += PART_LENGTH) {
    self.postMessage({ part: reply.cueLines.slice(at, at + PART_LENGTH) });
  }
  reply.cueLines = null;
}

// Requests run strictly one after the other, in the order they came.
let queue = Promise.resolve();
self.onmessage = (event) => {
  const request = event.data;
  if (request.op === 'part') {
    parts.push(request.text);
    return;
  }
  if (request.op === 'compute') {
    request.cueText = parts.join('');
    parts = [];
  }
  queue = queue.then(async () => {
    let reply;
    try {
      reply = await handle(request);
    } catch (error) {
      reply = { status: 'failed', message: String((error && error.message) || error) };
    }
    reply.id = request.id;
    sendCueLinesInParts(reply);
    self.postMessage(reply, [reply.bytes, reply.cells, reply.starts].filter(Boolean));
  });
};
