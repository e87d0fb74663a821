-- Started from the root of a drive, the host loads this script as X:\\init.lua
-- (the drive's backslash kept, then the separator), which Windows reads as
-- X:\init.lua.
io.write("loaded as ", debug.getinfo(1, "S").source, "\n")
os.exit(true)
