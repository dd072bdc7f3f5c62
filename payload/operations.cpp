#include "payload/operations.h"

#include "payload/checksum.h"
#include "toolkit/handle.h"

namespace {

constexpr DWORD ChunkSize = 200000;
constexpr char CaptionGetResource[] = "GET RESOURCE: Error ";
constexpr char CaptionCreateFile[] = "CREATE FILE: Error ";
constexpr char CaptionWriteToFile[] = "WRITE TO FILE: Error ";

HMODULE PayloadModule(HMODULE module) { return module ? module : GetModuleHandleA(nullptr); }

std::string ItemName(size_t position) { return "file" + std::to_string(position); }

// The target file of one item: closed on every path, and deleted unless the
// item was written whole.
class TargetFile {
public:
    explicit TargetFile(const std::string& path)
        : path_(path),
          // Others may read it, but no one else writes it while we do: another
          // setup's cancel cannot delete a file it did not write.
          handle_(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~TargetFile() { Close(); }
    TargetFile(const TargetFile&) = delete;
    TargetFile& operator=(const TargetFile&) = delete;

    bool Created() const { return handle_.valid(); }
    HANDLE get() const { return handle_.get(); }
    void SetComplete() { complete_ = true; }
    // The failure's error code outlives the cleanup: the report at the run's
    // end names the failed step, not a refused delete.
    void Close() {
        if (!handle_.valid()) return;
        const DWORD error = GetLastError();
        handle_.reset();
        if (!complete_) DeleteFileA(path_.c_str());
        SetLastError(error);
    }

private:
    const std::string& path_;
    tk::UniqueHandle handle_;
    bool complete_ = false;
};

// True when [bytes, bytes + size) is committed memory of the mapping that holds
// its first byte: a damaged resource entry can give a size past the image.
bool InsideOneMapping(const BYTE* bytes, DWORD size) {
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = bytes; static_cast<size_t>(at - bytes) < size;) {
        const PVOID mapping = region.AllocationBase;
        if (!VirtualQuery(at, &region, sizeof region) || region.State != MEM_COMMIT ||
            (at != bytes && region.AllocationBase != mapping))
            return false;
        at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

}  // namespace

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

    HRSRC item = FindResourceA(module_, ResourceName.c_str(), RT_RCDATA);
    if (!item) return false;
    const DWORD size = SizeofResource(module_, item);
    HGLOBAL loaded = LoadResource(module_, item);
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes) return false;
    if (size == 0 || !InsideOneMapping(bytes, size)) {
        // Neither check leaves a code of its own: whatever an earlier call
        // left ("Success.", "File already exists.") would be shown instead.
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    if (!ChecksumMatches(module_, Position, crc32_.Of(bytes, size))) return false;

    TargetFile file(TargetPath);
    if (!file.Created()) {
        ErrorCaption = CaptionCreateFile;
        return false;
    }

    bool result = false;
    for (DWORD remaining = size; remaining != 0;) {
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
            file.Close();
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
    if (result) file.SetComplete();
    return result;
}

void TOperations::DoProgress() {
    if (OnProgress) OnProgress(this, Percent);
}

void TOperations::DoError() {
    if (OnError) OnError(this, ErrorCode, ErrorCaption);
}
