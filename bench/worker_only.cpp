// The extraction worker alone in a static exe, to measure what it adds.
#include "payload/file_list.h"
#include "payload/operations.h"

int main() {
    FillFileList();
    TOperations op(true, FileList);
    op.DestDir = PluginDir;
    op.Start();
    op.WaitFor();
    return op.ResultCode;
}
