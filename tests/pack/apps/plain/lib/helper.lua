--[[ Loaded from lib\ of the packed folder.
     local orbix = require "orbix"   -- only in a comment ]]
return { greeting = function() return "plain app: helper loaded" end }
