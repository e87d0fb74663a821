-- The bundled example app. scripthost runs this file from its own folder;
-- each area of the app lives in its own module beside it (app_*.lua) and
-- plugs into the message dispatch below.

-- luacheck: globals app
app = {
  handlers = {},   -- message number -> list of functions
  commands = {},   -- WM_COMMAND identifier -> function
  next_id = 1000,
}

-- Registers fn(window, msg, wparam, lparam, lo, hi) for a message. The first
-- handler that returns a value answers the message.
function app.on(msg, fn)
  local list = app.handlers[msg]
  if not list then list = {}; app.handlers[msg] = list end
  list[#list + 1] = fn
end

-- Hands out a control or menu identifier and binds its command.
function app.command(fn)
  app.next_id = app.next_id + 1
  app.commands[app.next_id] = fn
  return app.next_id
end

app.on(WM_COMMAND, function(w, _, _, lp, lo, hi)
  local fn = app.commands[lo]
  if fn then fn(w, hi, lp); return 1 end
end)

app.on(WM_CLOSE, function()
  os.exit(0)
end)

dialog_callback = function(w, msg, wp, lp, lo, hi)
  local list = app.handlers[msg]
  if list then
    for _, fn in ipairs(list) do
      local r = fn(w, msg, wp, lp, lo, hi)
      if r ~= nil then return r end
    end
  end
  return 0
end

SetWindowText(hWin, "scripthost example")

-- Areas of the app, loaded when present.
for _, part in ipairs { "app_controls", "app_menus", "app_dialogs", "app_paint", "app_files" } do
  if package.searchpath(part, package.path) then require(part) end
end
