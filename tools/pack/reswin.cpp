#include "reswin.hpp"

#include <windows.h>

#include "winfs.hpp"

namespace {

ResName name_of(LPCWSTR n) {
  ResName r;
  if (IS_INTRESOURCE(n)) {
    r.id = static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(n));
  } else {
    for (const wchar_t* p = n; *p; ++p) r.text += static_cast<char16_t>(*p);
  }
  return r;
}

// The form the resource functions take: MAKEINTRESOURCE or a text.
struct WideName {
  std::wstring text;
  std::uint16_t id;
  explicit WideName(const ResName& n) : text(n.text.begin(), n.text.end()), id(n.id) {}
  LPCWSTR get() const { return text.empty() ? MAKEINTRESOURCEW(id) : text.c_str(); }
};

struct Reading {
  std::vector<Resource>* out;
  bool failed = false;
};

BOOL CALLBACK on_language(HMODULE m, LPCWSTR type, LPCWSTR name, WORD lang, LONG_PTR param) {
  auto* r = reinterpret_cast<Reading*>(param);
  HRSRC found = FindResourceExW(m, type, name, lang);
  HGLOBAL loaded = found ? LoadResource(m, found) : nullptr;
  const auto* data = loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
  if (!data) {
    r->failed = true;
    return FALSE;
  }
  Resource res;
  res.type = name_of(type);
  res.name = name_of(name);
  res.lang = lang;
  res.data.assign(data, data + SizeofResource(m, found));
  r->out->push_back(std::move(res));
  return TRUE;
}

BOOL CALLBACK on_name(HMODULE m, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  return EnumResourceLanguagesW(m, type, name, on_language, param) || !reinterpret_cast<Reading*>(param)->failed;
}

BOOL CALLBACK on_type(HMODULE m, LPWSTR type, LONG_PTR param) {
  return EnumResourceNamesW(m, type, on_name, param) || !reinterpret_cast<Reading*>(param)->failed;
}

std::string describe(const Resource& r) {
  auto part = [](const ResName& n) {
    return n.text.empty() ? std::to_string(n.id) : narrow(std::wstring(n.text.begin(), n.text.end()));
  };
  return "resource " + part(r.type) + "/" + part(r.name) + " (language " + std::to_string(r.lang) + ")";
}

}  // namespace

bool read_resources(const std::wstring& program, std::vector<Resource>& out, std::string& why) {
  HMODULE m = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!m) {
    why = "cannot read the resources of " + narrow(program) + ": " + error_text(GetLastError());
    return false;
  }
  std::vector<Resource> all;
  Reading r{&all};
  EnumResourceTypesW(m, on_type, reinterpret_cast<LONG_PTR>(&r));
  FreeLibrary(m);
  if (r.failed || all.empty()) {
    why = "cannot read the resources of " + narrow(program);
    return false;
  }
  out = std::move(all);
  return true;
}

bool write_resources(const std::wstring& program, const std::vector<Resource>& all, std::string& why) {
  HANDLE h = BeginUpdateResourceW(program.c_str(), TRUE);
  if (!h) {
    why = "cannot change the resources of " + narrow(program) + ": " + error_text(GetLastError());
    return false;
  }
  for (const Resource& r : all) {
    const WideName type(r.type), name(r.name);
    if (!UpdateResourceW(h, type.get(), name.get(), r.lang, const_cast<std::uint8_t*>(r.data.data()),
                         static_cast<DWORD>(r.data.size()))) {
      why = "cannot write " + describe(r) + " into " + narrow(program) + ": " + error_text(GetLastError());
      EndUpdateResourceW(h, TRUE);  // discards every change
      return false;
    }
  }
  if (!EndUpdateResourceW(h, FALSE)) {
    why = "cannot change the resources of " + narrow(program) + ": " + error_text(GetLastError());
    return false;
  }

  // What Windows will read from the program is what counts.
  std::vector<Resource> back;
  if (!read_resources(program, back, why)) return false;
  for (const Resource& want : all) {
    bool same = false;
    for (const Resource& got : back) {
      if (got.type == want.type && got.name == want.name && got.lang == want.lang) same = got.data == want.data;
    }
    if (!same) {
      why = describe(want) + " of " + narrow(program) + " did not come out as written";
      return false;
    }
  }
  if (back.size() != all.size()) {
    why = narrow(program) + " holds " + std::to_string(back.size()) + " resources instead of " +
          std::to_string(all.size());
    return false;
  }
  return true;
}
