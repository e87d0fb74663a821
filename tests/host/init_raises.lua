-- A bootstrap script that fails while running: the error text alone (no
-- traceback) appears in the error box, and the process ends with exit code 0
-- even though the message loop never ran.
io.write("started\n")
io.flush()
error("bootstrap failed on purpose")
