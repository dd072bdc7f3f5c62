#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

#include "payload/checksum.h"
#include "toolkit/string_list.h"
#include "toolkit/thread.h"

// Writes the payload items out of a module's RCDATA resources into DestDir,
// on its own thread, reporting progress and failures on the main thread. An
// item whose bytes do not match the module's checksum table is not written; a
// stopped or failed item leaves its target as it was, and nothing is written
// when a target's name is too long. An error that escapes the run (memory
// running out, a failed wait) ends it as a failed one, reported.
class TOperations final : public tk::TThread {
public:
    static constexpr int32_t Succeeded = 0;
    static constexpr int32_t Cancelled = 1;
    static constexpr int32_t Failed = 2;
    static constexpr int32_t NotFinished = 3;

    using TProgressEvent = tk::TEvent<TOperations*, int32_t>;  // Sender, Percent
    // Sender, ErrorCode, Caption
    using TErrorEvent = tk::TEvent<TOperations*, uint32_t, const std::string&>;

    // Module: where the items are read from; nullptr is this executable.
    // Without CreateSuspended the run starts once construction is complete.
    TOperations(bool CreateSuspended, const tk::TStringList& Files, HMODULE Module = nullptr);
    ~TOperations() override;

    int32_t ResultCode = NotFinished;
    uint32_t ErrorCode = 0;
    std::string ErrorCaption;
    std::string TargetPath;
    std::string ResourceName;
    int32_t Percent = 0;
    int64_t TotalBytes = 0;
    int64_t DoneBytes = 0;
    TProgressEvent OnProgress;
    TErrorEvent OnError;
    std::string DestDir;
    tk::TStringList Files;

protected:
    void Execute() override;

private:
    bool NamesFit();
    bool CopyResource(size_t Position);
    void Fail(DWORD Code);
    void ReportProgress();  // DoProgress on the main thread
    void ReportError();     // DoError on the main thread
    void DoProgress();
    void DoError();

    HMODULE module_;
    const TCrc32 crc32_;
    bool renameIgnoresReadOnly_ = true;  // until the system refuses the flag
    bool inHandler_ = false;             // a report's handler runs on the main thread
};

// Where an item bound for `Target` is written until it is whole: beside it,
// under its name with the last character made a tilde ("TYForMsExcel.plg~"; an
// underscore where it is one), so a copy killed half-way leaves a file that is
// plainly not the item, and a folder where the target fits holds it too.
std::string TemporaryPathOf(const std::string& Target);

// Where a file that stands in the way is moved to be deleted: the temporary
// name with its last two characters made tildes or underscores
// ("TYForMsExcel.pl~~"), no longer than the target's.
std::string AsidePathOf(const std::string& Target);

// Whether GetFileAttributesA's answer names an existing read-only file: the
// setup replaces its own read-only targets like any other.
bool IsReadOnly(DWORD Attributes);

// Size in bytes of the payload item `Name` (type RCDATA) in Module, 0 when absent.
uint32_t ResourceSize(const std::string& Name, HMODULE Module = nullptr);
