-- A packed app that uses no module. Its helper lives in a subfolder, which
-- the packed folder must keep. Mentioning require "orbix" in a comment must
-- not bring orbix along.
package.path = exepath() .. "\\lib\\?.lua;" .. package.path
local helper = require "helper"
print(helper.greeting())
os.exit(0)
