io.write("ready\n") io.flush() os.exit(0)
