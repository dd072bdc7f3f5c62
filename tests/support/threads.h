#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <vector>

#include "toolkit/handle.h"

namespace testsupport {

// The ids of a process's running threads, as a tool outside the process lists them.
inline std::vector<DWORD> ThreadIdsOf(DWORD pid) {
    std::vector<DWORD> ids;
    const tk::UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    if (!snapshot) return ids;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more;
         more = Thread32Next(snapshot.get(), &entry))
        if (entry.th32OwnerProcessID == pid) ids.push_back(entry.th32ThreadID);
    return ids;
}

// The one thread of this process that is not among `before`, opened to wait
// on and query; nullptr unless exactly one was added. A thread object's
// system thread is found this way, from outside: take `before` ahead of its
// constructor (a default argument of the caller's constructor is).
inline HANDLE OpenAddedThread(const std::vector<DWORD>& before) {
    std::vector<DWORD> added;
    for (DWORD id : ThreadIdsOf(GetCurrentProcessId()))
        if (std::find(before.begin(), before.end(), id) == before.end()) added.push_back(id);
    if (added.size() != 1) return nullptr;
    return OpenThread(SYNCHRONIZE | THREAD_QUERY_INFORMATION, FALSE, added.front());
}

}  // namespace testsupport
