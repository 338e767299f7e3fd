/* scripts/windows/close_window.c -- closes a top-level window the way its close button does, by
   posting it WM_CLOSE: close_window.exe CAPTION. Run under Wine by the Windows checks; exits 1
   when no window has that caption. */
#include <stdio.h>
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: close_window CAPTION\n");
    return 2;
  }
  HWND window = FindWindowA(NULL, argv[1]);
  if (window == NULL) {
    fprintf(stderr, "close_window: no window captioned \"%s\"\n", argv[1]);
    return 1;
  }
  return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
}
