# Writes the worker script: the compiled module and the worker's message handling, wrapped in one
# function, tarvelinWorkerMain, that the page starts as a worker from its source text.
#   cmake -DCORE=tarvelin-core.js -DWORKER=worker.js -DOUTPUT=tarvelin-worker.js -P WrapWorker.cmake
file(READ "${CORE}" core)
file(READ "${WORKER}" worker)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from the conversion core and web/worker.js; the page runs it as its worker.\n"
  "function tarvelinWorkerMain() {\n${core}\n${worker}\n}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
