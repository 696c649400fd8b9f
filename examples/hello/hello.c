/* Hello: the program the example project installs. It greets the user with
   the text its installation wrote into the registry, and counts its starts
   in the number value beside it. */
#include <stdio.h>
#include <windows.h>

#define HELLO_KEY "Software\\Vornel Examples\\Hello"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance, (void)previous, (void)commandLine, (void)show;
    char greeting[256] = "Hello! (the installation's greeting is missing)";
    DWORD launches = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, HELLO_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        DWORD size = sizeof greeting - 1;
        RegQueryValueExA(key, "Greeting", NULL, NULL, (BYTE*)greeting, &size);
        size = sizeof launches;
        RegQueryValueExA(key, "Launches", NULL, NULL, (BYTE*)&launches, &size);
        ++launches;
        RegSetValueExA(key, "Launches", 0, REG_DWORD, (const BYTE*)&launches, sizeof launches);
        RegCloseKey(key);
    }
    char text[320];
    snprintf(text, sizeof text, "%s\n\nThis is start number %lu.", greeting,
             (unsigned long)launches);
    MessageBoxA(NULL, text, "Hello", MB_OK | MB_ICONINFORMATION);
    return 0;
}
