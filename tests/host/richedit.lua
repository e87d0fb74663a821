-- Rich-edit content streamed as RTF between controls, strings and files.
local t = require "testlib"

local here = debug.getinfo(1, "S").source:match("^@(.*[\\/])") or ""
local STYLE = WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL

local function rich(x)
  local w = CreateWindow("RICHEDIT50W", "", STYLE, x, 10, 200, 120, hWin, 0, 0, 0)
  assert(Ptr2Int(w) ~= 0, "rich edit control")
  return w
end
local a, b = rich(10), rich(220)
local function text_of(w) return (GetWindowText(w)) end

local under_wine = os.getenv("WINEPREFIX") ~= nil or os.getenv("WINELOADER") ~= nil
local function wine_difference(what, reason)
  print("SKIP " .. what .. " (known Wine difference: " .. reason .. ")")
end

-- Known Wine difference: under the UTF-8 code page (the manifests) Wine's
-- rich edit writes a UTF-8 form of RTF of its own, headed {\urtf, with the
-- characters as UTF-8 bytes rather than \'xx escapes.
local wine_utf8_rtf = under_wine and t.utf8_code_page()
local function check_header(doc)
  if wine_utf8_rtf and doc:sub(1, 6) == "{\\urtf" then
    wine_difference("the {\\rtf1 header", "Wine writes {\\urtf under the UTF-8 code page")
  else
    t.eq(doc:sub(1, 6), "{\\rtf1")
  end
end

local HELLO = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Hello\\par}"

t.test("StreamInRichEdit shows the document and returns its text", function()
  t.eq(StreamInRichEdit(a, HELLO), HELLO)
  t.eq(text_of(a):gsub("[\r\n]+$", ""), "Hello")
end)

t.test("StreamInRichEdit with nil or nothing empties the control", function()
  t.eq(StreamInRichEdit(a, nil), "")
  t.eq(text_of(a), "")
  StreamInRichEdit(a, HELLO)
  t.eq(StreamInRichEdit(a), "")
  t.eq(text_of(a), "")
end)

t.test("StreamInRichEdit copies up to the first zero byte", function()
  t.eq(StreamInRichEdit(a, HELLO .. "\0garbage"), HELLO)
  t.eq(text_of(a):gsub("[\r\n]+$", ""), "Hello")
end)

t.test("a ten-byte plain text ends the stream after its ten bytes", function()
  t.eq(StreamInRichEdit(a, "plain text"), "plain text")
  if under_wine then
    wine_difference("plain text read as RTF", "the reader rejects it (error -16) and empties the control")
    t.eq(text_of(a), "")
  else
    t.eq(text_of(a), "plain text")
  end
  -- The next stream starts afresh.
  StreamInRichEdit(a, HELLO)
  t.eq(text_of(a):gsub("[\r\n]+$", ""), "Hello")
end)

t.test("StreamOutRichEdit returns only the control's own RTF", function()
  StreamInRichEdit(a, nil)
  local empty = StreamOutRichEdit(a)
  check_header(empty)
  t.truthy(#empty < 1000, "short document: " .. #empty)
  -- Fill the large buffer with a longer text first: none of it may show.
  SetWindowText(b, string.rep("0123456789\r\n", 500))
  local long, n = GetWindowTextLarge(b)
  t.truthy(n >= 5500 and #long == n, "long text " .. n)
  local again = StreamOutRichEdit(a)
  t.eq(again, empty)
  t.falsy(again:find("0123456789", 1, true), "old text leaked")
  -- What goes out comes back in.
  StreamInRichEdit(a, HELLO)
  local out = StreamOutRichEdit(a)
  t.truthy(out:find("Hello", 1, true), "text in the RTF")
  StreamInRichEdit(b, out)
  t.eq(text_of(b):gsub("[\r\n]+$", ""), "Hello")
end)

t.test("LoadRichEdit of a missing file: false, text unchanged", function()
  StreamInRichEdit(a, HELLO)
  t.eq(LoadRichEdit(a, here .. "no such file.rtf"), false)
  t.eq(text_of(a):gsub("[\r\n]+$", ""), "Hello")
  t.raises(function() LoadRichEdit(a) end, "bad argument #2")
end)

t.test("SaveRichEdit writes RTF that LoadRichEdit reads into another control", function()
  local path = here .. "saved.rtf"
  StreamInRichEdit(a, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Saved {\\b text}\\par}")
  -- false is success here.
  t.eq(SaveRichEdit(a, path), false)
  local f = assert(io.open(path, "rb"))
  local content = f:read("a")
  f:close()
  t.eq(content, StreamOutRichEdit(a))
  StreamInRichEdit(b, nil)
  t.eq(LoadRichEdit(b, path), true)
  t.eq(text_of(b), text_of(a))
  t.truthy(text_of(b):find("Saved text", 1, true))
end)

t.test("SaveRichEdit into a missing folder shows its box and returns false", function()
  -- tools/uiwatch.exe reads and closes the box.
  t.eq(SaveRichEdit(a, here .. "no such folder\\x.rtf"), false)
  t.raises(function() SaveRichEdit(a) end, "bad argument #2")
end)

-- Short paragraphs in a hidden control keep the control's layout work
-- linear; every character above 0x7F leaves the control as the four-byte
-- escape \'xx, so 2.5 million of them outgrow the 10,000,000-byte buffer.
t.test("a document larger than the large text buffer is cut safely", function()
  local hidden = CreateWindow("RICHEDIT50W", "", WS_CHILD | ES_MULTILINE, 0, 0, 200, 100, hWin, 0, 0, 0)
  local line = string.rep("\xe9", 29) .. "\\par\n"
  local doc = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " .. string.rep(line, 2500000 // 29) .. "}"
  t.truthy(#doc < SizeDocument, "fits in")
  StreamInRichEdit(hidden, doc)
  local _, chars = GetWindowTextLarge(hidden)
  t.truthy(chars > 2400000, "characters loaded: " .. chars)
  local out = StreamOutRichEdit(hidden)
  check_header(out)
  if wine_utf8_rtf and out:sub(1, 6) == "{\\urtf" then
    -- Two bytes for each of these characters instead of four: the document
    -- stays within the buffer.
    wine_difference("a document larger than the buffer", "UTF-8 RTF keeps this document within it")
  else
    t.eq(#out, SizeDocument - 1)
  end
  -- The buffer serves the next stream as usual.
  StreamInRichEdit(a, HELLO)
  local small = StreamOutRichEdit(a)
  t.truthy(#small < 1000, "next stream " .. #small)
  t.truthy(small:find("Hello", 1, true))
  DestroyWindow(hidden)
end)

t.done()
