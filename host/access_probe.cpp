#include "host/access_probe.h"

#include <windows.h>

#include "payload/file_list.h"
#include "payload/operations.h"
#include "toolkit/handle.h"

namespace {

bool CanOpenWith(const std::string& Path, DWORD Disposition, DWORD Flags = FILE_ATTRIBUTE_NORMAL) {
    const tk::UniqueHandle file(CreateFileA(Path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                            Disposition, Flags, nullptr));
    return file.valid();
}

}  // namespace

bool CanOpenForWrite(const std::string& Path) { return CanOpenWith(Path, OPEN_EXISTING); }

bool CanCreateForWrite(const std::string& Path) { return CanOpenWith(Path, CREATE_ALWAYS); }

bool PluginDirAccessDenied() {
    // Without a plug-in module name there is nothing to probe.
    if (FileList.empty()) return false;
    const std::string path = JoinPath(PluginDir, FileList.front());
    if (CanOpenForWrite(path)) return false;
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) {
        if (CanCreateForWrite(path)) {
            // The probe's empty file is no module: should the copy not write
            // one, a host scanning its folder must not find it.
            DeleteFileA(path.c_str());
            return false;
        }
        code = GetLastError();
    } else if (code == ERROR_ACCESS_DENIED && IsReadOnly(GetFileAttributesA(path.c_str()))) {
        // The copy replaces a read-only module like any other: what counts is
        // whether the folder takes the new file, tried at its temporary name.
        if (CanOpenWith(TemporaryPathOf(path), CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE)) return false;
        code = GetLastError();
    }
    return code == ERROR_ACCESS_DENIED;
}
