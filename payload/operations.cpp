#include "payload/operations.h"

#include "payload/checksum.h"
#include "payload/resource_bytes.h"
#include "toolkit/handle.h"

namespace {

constexpr DWORD ChunkSize = 200000;
constexpr char CaptionGetResource[] = "GET RESOURCE: Error ";
constexpr char CaptionCreateFile[] = "CREATE FILE: Error ";
constexpr char CaptionWriteToFile[] = "WRITE TO FILE: Error ";

HMODULE PayloadModule(HMODULE module) { return module ? module : GetModuleHandleA(nullptr); }

std::string ItemName(size_t position) { return "file" + std::to_string(position); }

constexpr char TemporarySuffix[] = ".tmp";

// One item's file: written under its temporary name and put in the target's
// place in one step once whole, so a stop or a failure leaves the target as
// it was. The temporary file is closed on every path, and deleted unless placed.
class ItemFile {
public:
    explicit ItemFile(const std::string& target)
        : target_(target),
          temporary_(TemporaryPathOf(target)),
          // Others may read it, but no one else writes it while we do: another
          // setup's cancel cannot delete a file it did not write.
          handle_(CreateFileA(temporary_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ItemFile() { Discard(); }
    ItemFile(const ItemFile&) = delete;
    ItemFile& operator=(const ItemFile&) = delete;

    bool Created() const { return handle_.valid(); }
    HANDLE get() const { return handle_.get(); }
    // Closes the whole file and replaces the target by it. False, with the
    // system's code and the temporary file gone, when the target cannot be
    // replaced (the host has it loaded, say).
    bool Place() {
        handle_.reset();
        if (MoveFileExA(temporary_.c_str(), target_.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        Delete();
        return false;
    }
    void Discard() {
        if (handle_.valid()) Delete();
    }

private:
    // The failure's error code outlives the cleanup: the report at the run's
    // end names the failed step, not a refused delete.
    void Delete() {
        const DWORD error = GetLastError();
        handle_.reset();
        DeleteFileA(temporary_.c_str());
        SetLastError(error);
    }

    const std::string& target_;
    const std::string temporary_;
    tk::UniqueHandle handle_;
};

}  // namespace

std::string TemporaryPathOf(const std::string& Target) { return Target + TemporarySuffix; }

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
        TargetPath = DestDir + Files[i - 1];
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

    ItemFile file(TargetPath);
    if (!file.Created()) {
        ErrorCaption = CaptionCreateFile;
        return false;
    }

    const BYTE* bytes = item.Bytes;
    bool result = false;
    for (DWORD remaining = item.Size; remaining != 0;) {
        if (Terminated()) {
            result = false;
            break;
        }
        const DWORD chunk = remaining >= ChunkSize ? ChunkSize : remaining;
        DWORD written = 0;
        const BOOL ok = WriteFile(file.get(), bytes, chunk, &written, nullptr);
        if (!ok || written != chunk) {
            // A short write can succeed with no error code set; name it a write fault.
            if (ok) SetLastError(ERROR_WRITE_FAULT);
            ErrorCaption = CaptionWriteToFile;
            ErrorCode = GetLastError();
            // The partial file goes before the box: a session's end under the
            // box ends the process without waiting for this thread.
            file.Discard();
            Synchronize([this] { DoError(); });
            result = false;
            break;
        }
        remaining -= chunk;
        DoneBytes += chunk;
        bytes += chunk;
        Percent = TotalBytes == 0 ? 100 : static_cast<int32_t>(DoneBytes * 100 / TotalBytes);
        Synchronize([this] { DoProgress(); });
        result = true;
    }
    if (result && !file.Place()) {
        ErrorCaption = CaptionCreateFile;
        result = false;
    }
    return result;
}

void TOperations::DoProgress() {
    if (OnProgress) OnProgress(this, Percent);
}

void TOperations::DoError() {
    if (OnError) OnError(this, ErrorCode, ErrorCaption);
}
