-- Win32 numbers the app uses that the host's constant table does not define
-- (docs/host/constants.md lists the ones it does). They live here once, so
-- no part of the app spells a message number of its own.
return {
  WM_GETFONT = 0x0031,       -- asks a window for its font
  LB_ERR = -1,               -- a list box's "no item" answer
  ENM_SELCHANGE = 0x00080000, -- rich edit: report selection changes
}
