// Baseline program for the host benchmarks: a modeless dialog with a plain C
// dialog procedure.
//   bench_dialog startup      exits as soon as the dialog initialises
//   bench_dialog messages N   sends N messages to its own dialog, prints the rate
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

volatile LONG64 g_seen = 0;

INT_PTR CALLBACK proc(HWND, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == 0x8001) g_seen = g_seen + static_cast<LONG64>(wp + lp);
  return 0;
}

double now_seconds() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  const char* cmd = GetCommandLineA();
  const bool startup = std::strstr(cmd, "startup") != nullptr;
  HWND w = CreateDialogParamA(inst, MAKEINTRESOURCEA(2), nullptr, proc, 0);
  if (startup) {
    std::printf("ready\n");
    std::fflush(stdout);
    ExitProcess(0);
  }
  long n = 200000;
  if (const char* p = std::strstr(cmd, "messages ")) n = std::atol(p + 9);
  const double t0 = now_seconds();
  for (long i = 0; i < n; ++i) SendMessageA(w, 0x8001, i, 1);
  const double dt = now_seconds() - t0;
  std::printf("%.0f\n", n / dt);
  std::fflush(stdout);
  ExitProcess(0);
}
