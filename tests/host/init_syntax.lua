-- A bootstrap script that does not compile: the host shows Lua's load error in
-- the error box and ends with exit code 0.
print("this line never runs"
local x = = 1
