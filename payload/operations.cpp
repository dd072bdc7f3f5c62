#include "payload/operations.h"

#include <algorithm>
#include <new>

#include "payload/checksum.h"
#include "payload/file_list.h"
#include "payload/resource_bytes.h"
#include "toolkit/handle.h"

namespace {

constexpr DWORD ChunkSize = 200000;
constexpr char CaptionGetResource[] = "GET RESOURCE: Error ";
constexpr char CaptionCreateFile[] = "CREATE FILE: Error ";
constexpr char CaptionWriteToFile[] = "WRITE TO FILE: Error ";
constexpr DWORD FirstPauseMs = 10;
constexpr DWORD LongestPauseMs = 250;
// Scanners hold a fresh file while they read it, a large one or on a slow disk
// for seconds: tools that retry on Windows raised waits of 1-2 s to 5-10 s after
// users' reports. Ten seconds, and a host that keeps its module loaded is still
// named in a box soon after.
constexpr DWORD BusyWaitMs = 10000;

// FileRenameInfoEx and its flags (Windows 10 1809 on): the rename replaces a
// read-only target without touching its attribute.
constexpr auto FileRenameInfoExClass = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD RenameReplaceIfExists = 0x1;
constexpr DWORD RenameIgnoreReadOnly = 0x40;

// FILE_RENAME_INFO with room for a whole name; FileRenameInfo reads the low
// byte of Flags as ReplaceIfExists.
struct TRenameInfo {
    DWORD Flags;
    HANDLE RootDirectory;
    DWORD FileNameLength;
    wchar_t FileName[MAX_PATH + 1];
};

HMODULE PayloadModule(HMODULE module) { return module ? module : GetModuleHandleA(nullptr); }

std::string ItemName(size_t position) { return "file" + std::to_string(position); }

// The name's length as the ANSI file calls count it, without the final zero.
size_t CharactersOf(const std::string& path) noexcept {
    return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0) - 1;
}

bool RenameTo(HANDLE file, const std::string& path, FILE_INFO_BY_HANDLE_CLASS kind,
              DWORD flags) noexcept {
    TRenameInfo info{flags, nullptr, 0, {}};
    const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, info.FileName, MAX_PATH);
    info.FileNameLength = length > 0 ? (length - 1) * sizeof(wchar_t) : 0;
    return length > 0 && SetFileInformationByHandle(file, kind, &info, sizeof info);
}

bool Dispose(HANDLE file) noexcept {
    FILE_DISPOSITION_INFO info{TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &info, sizeof info);
}

bool SetAttributes(HANDLE file, DWORD attributes) noexcept {
    FILE_BASIC_INFO info{};
    info.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info);
}

// What stands in the way opened to be moved or deleted: shared with
// everyone, and a link itself rather than the file it points to.
HANDLE OpenToRemove(const std::string& path, DWORD access = DELETE) noexcept {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// One item's file, held through one handle from its creation until it is in
// the target's place or gone: opened with DELETE access and shared for reading
// only, so no other program may write, rename or delete it meanwhile, and the
// bytes placed are the bytes written. A file given up is deleted through that
// handle, at once or when the last program that reads it lets go.
class ItemFile {
public:
    ItemFile(const std::string& target, const tk::TThread& owner, bool& ignoreReadOnly)
        : target_(target),
          temporary_(TemporaryPathOf(target)),
          aside_(AsidePathOf(target)),
          owner_(owner),
          ignoreReadOnly_(ignoreReadOnly) {}
    ~ItemFile() { Discard(); }
    ItemFile(const ItemFile&) = delete;
    ItemFile& operator=(const ItemFile&) = delete;

    // A fresh file at the temporary name; whatever stood there is moved aside
    // and deleted first. False, with the system's code, after the wait.
    bool Create() noexcept { return WhileBusy(&ItemFile::TryCreate); }
    HANDLE get() const { return handle_.get(); }
    // Puts the whole file in the target's place through its handle and closes
    // it. False, with the system's code and the file gone, when the target
    // cannot be replaced within the wait (the host has it loaded, say).
    bool Place() noexcept {
        if (WhileBusy(&ItemFile::ReplaceTarget)) {
            handle_.reset();
            return true;
        }
        // A rename over a file another program holds open (a loaded module, an
        // open help file) is refused as "access denied": name the real cause.
        if (HeldByAnother(target_)) SetLastError(ERROR_SHARING_VIOLATION);
        Discard();
        return false;
    }
    // The failure's error code outlives the cleanup: the report at the run's
    // end names the failed step.
    void Discard() noexcept {
        if (!handle_) return;
        const DWORD error = GetLastError();
        Dispose(handle_.get());
        handle_.reset();
        SetLastError(error);
    }

private:
    bool TryCreate() noexcept {
        if (CreateNew()) return true;
        // A left-over that a program holds sharing delete answers "file exists";
        // one already delete pending "access denied" (Windows) or "file exists" (Wine).
        const DWORD error = GetLastError();
        return (error == ERROR_FILE_EXISTS || error == ERROR_ACCESS_DENIED) && RemoveLeftOver() &&
               CreateNew();
    }
    bool CreateNew() noexcept {
        handle_.reset(CreateFileA(temporary_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                  nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        return handle_.valid();
    }
    // A program that holds the left-over sharing delete (a backup agent) keeps
    // its file until it lets go, but not its name; a planted link goes, not
    // the file it points to.
    bool RemoveLeftOver() const noexcept {
        const tk::UniqueHandle leftOver(OpenToRemove(temporary_));
        if (!leftOver) return GetLastError() == ERROR_FILE_NOT_FOUND;
        if (!RenameTo(leftOver.get(), aside_, FileRenameInfo, TRUE)) return false;
        Dispose(leftOver.get());
        return true;
    }
    bool ReplaceTarget() noexcept {
        if (ignoreReadOnly_) {
            if (RenameTo(handle_.get(), target_, FileRenameInfoExClass,
                         RenameReplaceIfExists | RenameIgnoreReadOnly))
                return true;
            const DWORD error = GetLastError();
            // Older systems and other file systems do not know the class.
            if (error != ERROR_INVALID_PARAMETER && error != ERROR_INVALID_FUNCTION &&
                error != ERROR_NOT_SUPPORTED)
                return false;
            ignoreReadOnly_ = false;
        }
        if (RenameTo(handle_.get(), target_, FileRenameInfo, TRUE)) return true;
        if (GetLastError() != ERROR_ACCESS_DENIED) return false;
        const DWORD attributes = GetFileAttributesA(target_.c_str());
        SetLastError(ERROR_ACCESS_DENIED);
        return IsReadOnly(attributes) && ReplaceReadOnly(attributes);
    }
    // Without the flag a read-only target is refused: the old file is moved
    // aside through a handle of its own, and deleted there with its attribute
    // given back, whatever the outcome, as it may live on under another name
    // (a hard link elsewhere).
    bool ReplaceReadOnly(DWORD attributes) noexcept {
        const tk::UniqueHandle old(
            OpenToRemove(target_, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES));
        if (!old || !RenameTo(old.get(), aside_, FileRenameInfo, TRUE)) return false;
        const bool placed = RenameTo(handle_.get(), target_, FileRenameInfo, TRUE);
        const DWORD error = GetLastError();
        if (!placed) {
            RenameTo(old.get(), target_, FileRenameInfo, FALSE);
        } else if (SetAttributes(old.get(), attributes & ~FILE_ATTRIBUTE_READONLY)) {
            Dispose(old.get());
            SetAttributes(old.get(), attributes);
        }
        SetLastError(error);
        return placed;
    }
    static bool HeldByAnother(const std::string& path) noexcept {
        const DWORD error = GetLastError();
        const tk::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        const bool held = !file && GetLastError() == ERROR_SHARING_VIOLATION;
        SetLastError(error);
        return held;
    }

    // Real-time scanners and the search indexer open a file for a moment right
    // after it is written or renamed, and a step refused meanwhile is tried
    // again, in pauses that grow, until the wait is over or a stop request
    // ends it.
    bool WhileBusy(bool (ItemFile::*step)() noexcept) noexcept {
        const DWORD start = GetTickCount();
        for (DWORD pause = FirstPauseMs;; pause = std::min(pause * 2, LongestPauseMs)) {
            if ((this->*step)()) return true;
            const DWORD error = GetLastError();
            if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
                 error != ERROR_LOCK_VIOLATION && error != ERROR_FILE_EXISTS) ||
                GetTickCount() - start >= BusyWaitMs)
                return false;
            const bool stopped = owner_.WaitForTerminate(pause);
            SetLastError(error);
            if (stopped) return false;
        }
    }

    const std::string& target_;
    const std::string temporary_;
    const std::string aside_;
    const tk::TThread& owner_;
    bool& ignoreReadOnly_;
    tk::UniqueHandle handle_;
};

}  // namespace

std::string TemporaryPathOf(const std::string& Target) {
    std::string temporary = Target;
    if (!temporary.empty()) temporary.back() = temporary.back() == '~' ? '_' : '~';
    return temporary;
}

std::string AsidePathOf(const std::string& Target) {
    std::string aside = TemporaryPathOf(Target);
    if (aside.size() > 1) aside[aside.size() - 2] = aside.back();
    return aside;
}

bool IsReadOnly(DWORD Attributes) {
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_READONLY);
}

uint32_t ResourceSize(const std::string& Name, HMODULE Module) {
    const HMODULE module = PayloadModule(Module);
    HRSRC item = FindResourceA(module, Name.c_str(), RT_RCDATA);
    return item ? SizeofResource(module, item) : 0;
}

TOperations::TOperations(bool CreateSuspended, const tk::TStringList& Files, HMODULE Module)
    : Files(Files), module_(PayloadModule(Module)) {
    if (!CreateSuspended) Start();
}

TOperations::~TOperations() { EndThread(); }

void TOperations::Execute() {
    ResultCode = NotFinished;
    DoneBytes = 0;
    TotalBytes = 0;
    try {
        for (size_t i = 1; i <= Files.size(); ++i) TotalBytes += ResourceSize(ItemName(i), module_);

        bool copied = NamesFit();
        for (size_t i = 1; copied && i <= Files.size(); ++i) {
            TargetPath = JoinPath(DestDir, Files[i - 1]);
            ResourceName = ItemName(i);
            copied = CopyResource(i);
            if (Terminated()) break;
        }

        if (Terminated()) {
            ResultCode = Cancelled;
        } else if (copied) {
            ResultCode = Succeeded;
        } else {
            Fail(GetLastError());
        }
    } catch (const std::bad_alloc&) {
        // Memory running out on this thread is a failed copy, reported. An
        // error of the form's handler ends the run where it stands instead,
        // its outcome unchanged, as any other error does.
        if (inHandler_) throw;
        Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

// A deep folder fails before anything is written, not half-way: every target
// must be shorter than MAX_PATH, the limit of the ANSI file calls, and so is
// then the temporary name beside it, which is as long.
bool TOperations::NamesFit() {
    for (const std::string& name : Files) {
        TargetPath = JoinPath(DestDir, name);
        if (CharactersOf(TargetPath) >= MAX_PATH) {
            ErrorCaption = CaptionCreateFile;
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return false;
        }
    }
    return true;
}

bool TOperations::CopyResource(size_t Position) {
    // Set first, so that an error out of the report names the step to come.
    ErrorCaption = CaptionGetResource;
    ReportProgress();

    const TResourceBytes item = ResourceBytes(module_, ResourceName.c_str());
    if (!item.Bytes) return false;
    if (!ChecksumMatches(module_, Position, crc32_.Of(item.Bytes, item.Size))) return false;

    ErrorCaption = CaptionCreateFile;
    ItemFile file(TargetPath, *this, renameIgnoresReadOnly_);
    if (!file.Create()) return false;
    ErrorCaption = CaptionWriteToFile;
    const BYTE* bytes = item.Bytes;
    for (DWORD remaining = item.Size; remaining != 0;) {
        if (Terminated()) return false;
        const DWORD chunk = remaining >= ChunkSize ? ChunkSize : remaining;
        DWORD written = 0;
        // The last chunk is written once it is on the disk: after a power cut a
        // rename could survive while data still cached did not.
        const BOOL ok = WriteFile(file.get(), bytes, chunk, &written, nullptr) &&
                        (chunk != remaining || FlushFileBuffers(file.get()));
        if (!ok || written != chunk) {
            // A short write can succeed with no error code set; name it a write fault.
            if (ok) SetLastError(ERROR_WRITE_FAULT);
            ErrorCode = GetLastError();
            // The partial file goes before the box: a session's end under the
            // box ends the process without waiting for this thread.
            file.Discard();
            ReportError();
            return false;
        }
        remaining -= chunk;
        DoneBytes += chunk;
        bytes += chunk;
        Percent = TotalBytes == 0 ? 100 : static_cast<int32_t>(DoneBytes * 100 / TotalBytes);
        ReportProgress();
    }
    ErrorCaption = CaptionCreateFile;
    return file.Place();
}

// The outcome of a run that failed, reported on the main thread.
void TOperations::Fail(DWORD Code) {
    ResultCode = Failed;
    ErrorCode = Code;
    ReportError();
}

// One call site each, so each report is one function object.
void TOperations::ReportProgress() {
    Synchronize([this] { DoProgress(); });
}

void TOperations::ReportError() {
    Synchronize([this] { DoError(); });
}

// The flag stays set when the handler's error passes through.
void TOperations::DoProgress() {
    inHandler_ = true;
    if (OnProgress) OnProgress(this, Percent);
    inHandler_ = false;
}

void TOperations::DoError() {
    inHandler_ = true;
    if (OnError) OnError(this, ErrorCode, ErrorCaption);
    inHandler_ = false;
}
