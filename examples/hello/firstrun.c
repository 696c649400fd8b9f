/* The after-install run pack of the example: the installer unpacks it with
   greeting.txt into a folder of its own, starts it there and waits. It shows
   nothing and ends at once, leaving the greeting as a first-run note in the
   temporary-files folder (the demo prints it). Exit code 0 when the note was
   written. */
#include <stdio.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance, (void)previous, (void)commandLine, (void)show;
    char temp[MAX_PATH] = {0};
    char notePath[MAX_PATH + 32];
    DWORD len = GetTempPathA(MAX_PATH, temp);
    if (len == 0 || len >= MAX_PATH) return 1;
    snprintf(notePath, sizeof notePath, "%shello-first-run.txt", temp);
    FILE* greeting = fopen("greeting.txt", "rb");
    FILE* note = fopen(notePath, "wb");
    if (!greeting || !note) return 1;
    char block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof block, greeting)) > 0) fwrite(block, 1, got, note);
    fclose(greeting);
    return fclose(note) == 0 ? 0 : 1;
}
