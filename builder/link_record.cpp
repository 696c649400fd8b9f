#include "builder/link_record.h"

#include <cstring>

#include "package/bytes.h"

namespace builder {

package::LinkRecord MakeLinkRecord(const ProjectLink& link) {
    package::LinkRecord record = {};
    record.desktopFlag = (uint8_t)link.desktopFlag;
    record.entryKind = (uint8_t)link.kind;
    package::CopyText(record.linkName, sizeof record.linkName, link.name);

    // The cut is by length alone: "Folder\App" for App leaves "Folder".
    long folderLen = (long)strlen(link.path) - (long)strlen(link.name) - 1;
    bool shortcut = record.entryKind == kShortcutKind;
    if (folderLen > 0)
        memcpy(record.folderPath, link.path, (size_t)folderLen);
    else if (!shortcut)
        package::CopyText(record.folderPath, sizeof record.folderPath, link.path);

    if (shortcut) {
        record.targetGroup = (uint8_t)link.targetGroup;
        package::CopyText(record.targetName, sizeof record.targetName, link.target);
    }
    return record;
}

void WriteLinkRecord(FILE* body, const ProjectLink& link) {
    uint8_t bytes[package::kLinkRecordSize];
    package::EncodeLinkRecord(MakeLinkRecord(link), bytes);
    fwrite(bytes, 1, sizeof bytes, body);
}

}  // namespace builder
