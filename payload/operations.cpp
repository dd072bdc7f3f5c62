#include "payload/operations.h"

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
constexpr DWORD BusyRetryMs = 2000;

HMODULE PayloadModule(HMODULE module) { return module ? module : GetModuleHandleA(nullptr); }

std::string ItemName(size_t position) { return "file" + std::to_string(position); }

// One item's file: written under its temporary name and put in the target's
// place in one step once whole, so a stop or a failure leaves the target as
// it was. The temporary file is closed on every path, and deleted unless placed.
class ItemFile {
public:
    ItemFile(const std::string& target, const tk::TThread& owner)
        : target_(target), temporary_(TemporaryPathOf(target)), owner_(owner) {}
    ~ItemFile() { Discard(); }
    ItemFile(const ItemFile&) = delete;
    ItemFile& operator=(const ItemFile&) = delete;

    // Whatever stands at the temporary name goes first (deleting a link removes
    // the link), and the create refuses a name taken again meanwhile: an
    // elevated setup never writes through a name someone else prepared.
    bool Create() {
        if (!Delete() && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        // Others may read it, but no one else writes it while we do: another
        // setup's cancel cannot delete a file it did not write.
        handle_.reset(CreateFileA(temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        owned_ = handle_.valid();
        return owned_;
    }
    HANDLE get() const { return handle_.get(); }
    // Closes the whole file and replaces the target by it. False, with the
    // system's code and the temporary file gone, when the target cannot be
    // replaced (the host has it loaded, say).
    bool Place() {
        handle_.reset();
        // The setup owns its target names: a read-only one is replaced like any
        // other, and keeps its attribute if it stays.
        const DWORD attributes = GetFileAttributesA(target_.c_str());
        const bool readOnly = IsReadOnly(attributes);
        if (readOnly) SetFileAttributesA(target_.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (WhileBusy(Step::Move)) {
            owned_ = false;
            return true;
        }
        DWORD error = GetLastError();
        // A move over a file another program holds open (a loaded module, an
        // open help file) is refused as "access denied": name the real cause.
        if (HeldByAnother(target_)) error = ERROR_SHARING_VIOLATION;
        if (readOnly) SetFileAttributesA(target_.c_str(), attributes);
        SetLastError(error);
        Discard();
        return false;
    }
    // The failure's error code outlives the cleanup: the report at the run's
    // end names the failed step, not a refused delete.
    void Discard() {
        if (!owned_) return;
        const DWORD error = GetLastError();
        owned_ = false;
        handle_.reset();
        Delete();
        SetLastError(error);
    }

private:
    static bool HeldByAnother(const std::string& path) {
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
        CloseHandle(file);
        return false;
    }
    bool Delete() { return WhileBusy(Step::Delete); }

    // Real-time scanners and the search indexer open a file for a moment right
    // after it is written or renamed, and a move or delete then is refused: such
    // refusals are tried again for about 2 s, in pauses that grow, but after a
    // stop request for one pause more at most.
    enum class Step { Move, Delete };
    bool WhileBusy(Step step) const {
        bool lastTry = false;
        for (DWORD pause = FirstPauseMs, waited = 0;;
             waited += pause, pause = pause < LongestPauseMs / 2 ? pause * 2 : LongestPauseMs) {
            if (step == Step::Move ? MoveFileExA(temporary_.c_str(), target_.c_str(),
                                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                                   : DeleteFileA(temporary_.c_str()))
                return true;
            const DWORD error = GetLastError();
            if (lastTry || waited >= BusyRetryMs ||
                (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION &&
                 error != ERROR_LOCK_VIOLATION))
                return false;
            lastTry = owner_.Terminated();
            Sleep(pause);
        }
    }

    const std::string& target_;
    const std::string temporary_;
    const tk::TThread& owner_;
    tk::UniqueHandle handle_;
    bool owned_ = false;  // the temporary file is ours and not yet placed
};

}  // namespace

std::string TemporaryPathOf(const std::string& Target) {
    std::string temporary = Target;
    if (!temporary.empty()) temporary.back() = temporary.back() == '~' ? '_' : '~';
    return temporary;
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
    for (size_t i = 1; i <= Files.size(); ++i) TotalBytes += ResourceSize(ItemName(i), module_);

    bool copied = false;
    for (size_t i = 1; i <= Files.size(); ++i) {
        TargetPath = JoinPath(DestDir, Files[i - 1]);
        ResourceName = ItemName(i);
        copied = CopyResource(i);
        if (!copied || Terminated()) break;
    }

    if (Terminated()) {
        ResultCode = Cancelled;
    } else if (copied) {
        ResultCode = Succeeded;
    } else {
        ResultCode = Failed;
        ErrorCode = GetLastError();
        Synchronize([this] { DoError(); });
    }
}

bool TOperations::CopyResource(size_t Position) {
    Synchronize([this] { DoProgress(); });
    ErrorCaption = CaptionGetResource;

    const TResourceBytes item = ResourceBytes(module_, ResourceName.c_str());
    if (!item.Bytes) return false;
    if (!ChecksumMatches(module_, Position, crc32_.Of(item.Bytes, item.Size))) return false;

    ItemFile file(TargetPath, *this);
    if (!file.Create()) {
        ErrorCaption = CaptionCreateFile;
        return false;
    }
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
            ErrorCaption = CaptionWriteToFile;
            ErrorCode = GetLastError();
            // The partial file goes before the box: a session's end under the
            // box ends the process without waiting for this thread.
            file.Discard();
            Synchronize([this] { DoError(); });
            return false;
        }
        remaining -= chunk;
        DoneBytes += chunk;
        bytes += chunk;
        Percent = TotalBytes == 0 ? 100 : static_cast<int32_t>(DoneBytes * 100 / TotalBytes);
        Synchronize([this] { DoProgress(); });
    }
    if (!file.Place()) {
        ErrorCaption = CaptionCreateFile;
        return false;
    }
    return true;
}

void TOperations::DoProgress() {
    if (OnProgress) OnProgress(this, Percent);
}

void TOperations::DoError() {
    if (OnError) OnError(this, ErrorCode, ErrorCaption);
}
