-- The message loop ends on WM_QUIT. The helper posts one carrying 42; the
-- host must still exit with 0. A timer proves the loop was running first.
dialog_callback = function(w, msg)
  if msg == WM_TIMER then
    KillTimer(hWin, 7)
    io.write("loop running\n")
    io.flush()
  end
  return 0
end
SetTimer(hWin, 7, 50, nil)
