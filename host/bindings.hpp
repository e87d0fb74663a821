// Every Lua-callable binding of the host, one declaration per global, grouped
// by the file that defines it. registry.cpp holds their order.
#pragma once

extern "C" {
#include <lua.h>
}

// dialogs.cpp
int l_getInput(lua_State* L);
int l_runbox(lua_State* L);
int l_NewDialog(lua_State* L);
// windows.cpp
int l_CreateWindow(lua_State* L);
int l_DestroyWindow(lua_State* L);
int l_InvalidateRect(lua_State* L);
int l_MoveWindow(lua_State* L);
int l_SetWindowPos(lua_State* L);
int l_GetWindowRect(lua_State* L);
int l_GetCursorPos(lua_State* L);
int l_GetCursorPosClient(lua_State* L);
int l_ScreenToClient(lua_State* L);
int l_SetWindowText(lua_State* L);
int l_GetWindowText(lua_State* L);
int l_GetWindowTextLarge(lua_State* L);
int l_ShowWindow(lua_State* L);
int l_IsDlgButtonChecked(lua_State* L);
int l_CheckDlgButton(lua_State* L);
int l_ChildWindowFromPoint(lua_State* L);
int l_RealChildWindowFromPoint(lua_State* L);
int l_WindowFromPoint(lua_State* L);
int l_SetCapture(lua_State* L);
int l_ReleaseCapture(lua_State* L);
int l_SetFocus(lua_State* L);
int l_GetFocus(lua_State* L);
int l_GetForegroundWindow(lua_State* L);
int l_EnableWindow(lua_State* L);
int l_GetClientRect(lua_State* L);
int l_GetWindowLong(lua_State* L);
int l_SetWindowLong(lua_State* L);
// messages.cpp
int l_SendMessage(lua_State* L);
int l_SendMessageInt(lua_State* L);
int l_SendMessagePtrInt(lua_State* L);
int l_SendMessageString(lua_State* L);
int l_Int2Ptr(lua_State* L);
int l_Ptr2Int(lua_State* L);
int l_NMHDR(lua_State* L);
int l_ENLINK(lua_State* L);
int l_RichEdit_GetTextRange(lua_State* L);
int l_GetSel(lua_State* L);
int l_MonthCal_GetCurSel(lua_State* L);
int l_MonthCal_SetCurSel(lua_State* L);
int l_DateTime_GetSystemtime(lua_State* L);
int l_DateTime_SetSystemtime(lua_State* L);
int l_LocalFree(lua_State* L);
int l_PARAFORMAT2(lua_State* L);
int l_CHARFORMAT(lua_State* L);
// menus.cpp
int l_SetTimer(lua_State* L);
int l_KillTimer(lua_State* L);
int l_CreateMenu(lua_State* L);
int l_CreatePopupMenu(lua_State* L);
int l_AppendMenu(lua_State* L);
int l_SetMenu(lua_State* L);
int l_GetMenu(lua_State* L);
int l_DestroyMenu(lua_State* L);
int l_DeleteMenu(lua_State* L);
int l_DrawMenuBar(lua_State* L);
int l_CheckMenuItem(lua_State* L);
int l_EnableMenuItem(lua_State* L);
int l_CreateAcceleratorTable(lua_State* L);
int l_DestroyAcceleratorTable(lua_State* L);
// shell.cpp
int l_GetCurrentDirectory(lua_State* L);
int l_SetCurrentDirectory(lua_State* L);
int l_SaveDialog(lua_State* L);
int l_OpenDialog(lua_State* L);
int l_messageBox(lua_State* L);
int l_GetLastError(lua_State* L);
int l_ChooseFont(lua_State* L);
int l_ChooseColor(lua_State* L);
int l_SHBrowseForFolder(lua_State* L);
int l_sndPlaySound(lua_State* L);
int l_EndDialog(lua_State* L);
int l_GetCommandLine(lua_State* L);
int l_Command(lua_State* L);
int l_Dir(lua_State* L);
int l_ShellExecute(lua_State* L);
int l_exepath(lua_State* L);
int l_SetClipboardText(lua_State* L);
int l_GetClipboardText(lua_State* L);
// gdi.cpp
int l_GetSizeImage(lua_State* L);
int l_LoadImage(lua_State* L);
int l_DeleteObject(lua_State* L);
int l_CreateFont(lua_State* L);
int l_RGB(lua_State* L);
int l_GetRGB(lua_State* L);
int l_SetTextColor(lua_State* L);
int l_SetBkColor(lua_State* L);
int l_GetSysColor(lua_State* L);
int l_BeginPaint(lua_State* L);
int l_EndPaint(lua_State* L);
int l_LineTo(lua_State* L);
int l_CreatePen(lua_State* L);
int l_CreateSolidBrush(lua_State* L);
int l_GetSysColorBrush(lua_State* L);
int l_SelectObject(lua_State* L);
int l_SetBkMode(lua_State* L);
int l_DrawText(lua_State* L);
int l_MoveToEx(lua_State* L);
int l_Rectangle(lua_State* L);
int l_FillRect(lua_State* L);
int l_RoundRect(lua_State* L);
int l_Ellipse(lua_State* L);
int l_Arc(lua_State* L);
int l_SetPixel(lua_State* L);
int l_GetPixel(lua_State* L);
int l_GdipCreateBitmapFromFile(lua_State* L);
int l_GdipCreateHBITMAPFromBitmap(lua_State* L);
int l_GdipDisposeImage(lua_State* L);
int l_GdiplusStartup(lua_State* L);
int l_GdiplusShutdown(lua_State* L);
int l_GdipCreateFromHDC(lua_State* L);
int l_GdipDrawImageI(lua_State* L);
int l_GdipDeleteGraphics(lua_State* L);
int l_GdipLoadImageFromFile(lua_State* L);
// richedit_stream.cpp
int l_LoadRichEdit(lua_State* L);
int l_SaveRichEdit(lua_State* L);
int l_StreamOutRichEdit(lua_State* L);
int l_StreamInRichEdit(lua_State* L);
