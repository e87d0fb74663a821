// The host's functions in registration order: the one place that order lives.
#include "registry.hpp"

#include "bindings.hpp"
#include "lua_glue.hpp"

namespace {

// Every binding is registered behind the same guard: a std::bad_alloc from
// the standard library (a string, a side table) becomes Lua's memory error
// here, at the boundary, instead of unwinding through Lua's C frames. The
// rules this completes are in lua_glue.hpp.
template <lua_CFunction binding>
constexpr lua_CFunction guarded = glue::catch_bad_alloc<binding>;

const Binding kBindings[] = {
    {"CreateWindow", guarded<l_CreateWindow>},
    {"DestroyWindow", guarded<l_DestroyWindow>},
    {"InvalidateRect", guarded<l_InvalidateRect>},
    {"MoveWindow", guarded<l_MoveWindow>},
    {"SetWindowPos", guarded<l_SetWindowPos>},
    {"GetWindowRect", guarded<l_GetWindowRect>},
    {"GetSizeImage", guarded<l_GetSizeImage>},
    {"GetCursorPos", guarded<l_GetCursorPos>},
    {"GetCursorPosClient", guarded<l_GetCursorPosClient>},
    {"ScreenToClient", guarded<l_ScreenToClient>},
    {"SetWindowText", guarded<l_SetWindowText>},
    {"GetWindowText", guarded<l_GetWindowText>},
    {"GetWindowTextLarge", guarded<l_GetWindowTextLarge>},
    {"ShowWindow", guarded<l_ShowWindow>},
    {"GetCurrentDirectory", guarded<l_GetCurrentDirectory>},
    {"SetCurrentDirectory", guarded<l_SetCurrentDirectory>},
    {"IsDlgButtonChecked", guarded<l_IsDlgButtonChecked>},
    {"CheckDlgButton", guarded<l_CheckDlgButton>},
    {"ChildWindowFromPoint", guarded<l_ChildWindowFromPoint>},
    {"RealChildWindowFromPoint", guarded<l_RealChildWindowFromPoint>},
    {"WindowFromPoint", guarded<l_WindowFromPoint>},
    {"SaveDialog", guarded<l_SaveDialog>},
    {"OpenDialog", guarded<l_OpenDialog>},
    {"messageBox", guarded<l_messageBox>},
    {"SetTimer", guarded<l_SetTimer>},
    {"KillTimer", guarded<l_KillTimer>},
    {"LoadImage", guarded<l_LoadImage>},
    {"DeleteObject", guarded<l_DeleteObject>},
    {"SendMessage", guarded<l_SendMessage>},
    {"SendMessageInt", guarded<l_SendMessageInt>},
    {"SendMessagePtrInt", guarded<l_SendMessagePtrInt>},
    {"SendMessageString", guarded<l_SendMessageString>},
    {"CreateMenu", guarded<l_CreateMenu>},
    {"GetLastError", guarded<l_GetLastError>},
    {"CreatePopupMenu", guarded<l_CreatePopupMenu>},
    {"AppendMenu", guarded<l_AppendMenu>},
    {"SetMenu", guarded<l_SetMenu>},
    {"GetMenu", guarded<l_GetMenu>},
    {"DestroyMenu", guarded<l_DestroyMenu>},
    {"DeleteMenu", guarded<l_DeleteMenu>},
    {"DrawMenuBar", guarded<l_DrawMenuBar>},
    {"CheckMenuItem", guarded<l_CheckMenuItem>},
    {"EnableMenuItem", guarded<l_EnableMenuItem>},
    {"SetCapture", guarded<l_SetCapture>},
    {"ReleaseCapture", guarded<l_ReleaseCapture>},
    {"SetFocus", guarded<l_SetFocus>},
    {"GetFocus", guarded<l_GetFocus>},
    {"GetForegroundWindow", guarded<l_GetForegroundWindow>},
    {"ChooseFont", guarded<l_ChooseFont>},
    {"ChooseColor", guarded<l_ChooseColor>},
    {"SHBrowseForFolder", guarded<l_SHBrowseForFolder>},
    {"CreateAcceleratorTable", guarded<l_CreateAcceleratorTable>},
    {"DestroyAcceleratorTable", guarded<l_DestroyAcceleratorTable>},
    {"CreateFont", guarded<l_CreateFont>},
    {"EnableWindow", guarded<l_EnableWindow>},
    {"RGB", guarded<l_RGB>},
    {"GetRGB", guarded<l_GetRGB>},
    {"SetTextColor", guarded<l_SetTextColor>},
    {"SetBkColor", guarded<l_SetBkColor>},
    {"Int2Ptr", guarded<l_Int2Ptr>},
    {"Ptr2Int", guarded<l_Ptr2Int>},
    {"GetSysColor", guarded<l_GetSysColor>},
    {"sndPlaySound", guarded<l_sndPlaySound>},
    {"EndDialog", guarded<l_EndDialog>},
    {"GetCommandLine", guarded<l_GetCommandLine>},
    {"Command", guarded<l_Command>},
    {"Dir", guarded<l_Dir>},
    {"ShellExecute", guarded<l_ShellExecute>},
    {"NMHDR", guarded<l_NMHDR>},
    {"ENLINK", guarded<l_ENLINK>},
    {"RichEdit_GetTextRange", guarded<l_RichEdit_GetTextRange>},
    {"GetSel", guarded<l_GetSel>},
    {"MonthCal_GetCurSel", guarded<l_MonthCal_GetCurSel>},
    {"MonthCal_SetCurSel", guarded<l_MonthCal_SetCurSel>},
    {"DateTime_GetSystemtime", guarded<l_DateTime_GetSystemtime>},
    {"DateTime_SetSystemtime", guarded<l_DateTime_SetSystemtime>},
    {"BeginPaint", guarded<l_BeginPaint>},
    {"EndPaint", guarded<l_EndPaint>},
    {"LineTo", guarded<l_LineTo>},
    {"CreatePen", guarded<l_CreatePen>},
    {"CreateSolidBrush", guarded<l_CreateSolidBrush>},
    {"GetSysColorBrush", guarded<l_GetSysColorBrush>},
    {"SelectObject", guarded<l_SelectObject>},
    {"SetBkMode", guarded<l_SetBkMode>},
    {"DrawText", guarded<l_DrawText>},
    {"MoveToEx", guarded<l_MoveToEx>},
    {"Rectangle", guarded<l_Rectangle>},
    {"FillRect", guarded<l_FillRect>},
    {"RoundRect", guarded<l_RoundRect>},
    {"Ellipse", guarded<l_Ellipse>},
    {"Arc", guarded<l_Arc>},
    {"SetPixel", guarded<l_SetPixel>},
    {"GetPixel", guarded<l_GetPixel>},
    {"exepath", guarded<l_exepath>},
    {"LocalFree", guarded<l_LocalFree>},
    {"PARAFORMAT2", guarded<l_PARAFORMAT2>},
    {"CHARFORMAT", guarded<l_CHARFORMAT>},
    {"LoadRichEdit", guarded<l_LoadRichEdit>},
    {"SaveRichEdit", guarded<l_SaveRichEdit>},
    {"StreamOutRichEdit", guarded<l_StreamOutRichEdit>},
    {"StreamInRichEdit", guarded<l_StreamInRichEdit>},
    {"GdipCreateBitmapFromFile", guarded<l_GdipCreateBitmapFromFile>},
    {"GdipCreateHBITMAPFromBitmap", guarded<l_GdipCreateHBITMAPFromBitmap>},
    {"GdipDisposeImage", guarded<l_GdipDisposeImage>},
    {"GdiplusStartup", guarded<l_GdiplusStartup>},
    {"GdiplusShutdown", guarded<l_GdiplusShutdown>},
    {"GdipCreateFromHDC", guarded<l_GdipCreateFromHDC>},
    {"GdipDrawImageI", guarded<l_GdipDrawImageI>},
    {"GdipDeleteGraphics", guarded<l_GdipDeleteGraphics>},
    {"GdipLoadImageFromFile", guarded<l_GdipLoadImageFromFile>},
    {"GetClientRect", guarded<l_GetClientRect>},
    {"GetWindowLong", guarded<l_GetWindowLong>},
    {"SetWindowLong", guarded<l_SetWindowLong>},
    {"SetClipboardText", guarded<l_SetClipboardText>},
    {"GetClipboardText", guarded<l_GetClipboardText>},
    {"getInput", guarded<l_getInput>},
    {"runbox", guarded<l_runbox>},
    {"NewDialog", guarded<l_NewDialog>},
};

static_assert(sizeof kBindings / sizeof kBindings[0] == kBindingCount, "118 bindings");

}  // namespace

const Binding& binding_at(int position) { return kBindings[position - 1]; }

void register_bindings(lua_State* L, int first, int last) {
  for (int i = first; i <= last; ++i) {
    const Binding& b = binding_at(i);
    lua_pushcclosure(L, b.function, 0);
    lua_setglobal(L, b.name);
  }
}
