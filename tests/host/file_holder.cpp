// Holds a file open for reading and writing without sharing until told to quit.
// Usage: host_file_holder PATH READY_EVENT QUIT_EVENT
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (ready == nullptr || quit == nullptr) return 3;
    SetEvent(ready);
    WaitForSingleObject(quit, 60000);
    CloseHandle(file);
    CloseHandle(ready);
    CloseHandle(quit);
    return 0;
}
