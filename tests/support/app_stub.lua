-- The dispatch of the example app's init.lua, reduced to what a test of one
-- part of the app needs. Installs the global `app` and returns the list of
-- status lines the part reported.
return function()
  app = { handlers = {}, commands = {}, next_id = 1000 }
  function app.on(msg, fn)
    app.handlers[msg] = app.handlers[msg] or {}
    table.insert(app.handlers[msg], fn)
  end
  function app.command(fn)
    app.next_id = app.next_id + 1
    app.commands[app.next_id] = fn
    return app.next_id
  end
  local said = {}
  function app.status(text) said[#said + 1] = text end
  return said
end
