#include "builder/build_context.h"

#include <cstdarg>
#include <cstdio>

#include "builder/build_errors.h"

namespace builder {

namespace {

std::string NameOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? (char)(a[i] - 32) : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? (char)(b[i] - 32) : b[i];
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void BuildContext::ReportError(uint32_t code) {
    if (firstError_) return;
    firstError_ = code;
    host_.ReportError(code);
}

bool BuildContext::IsOwnFile(const std::string& folder, const std::string& name) {
    // Only a file of the same name is looked at: the listing stays cheap.
    // Temporary names are ASCII, so ASCII case is all there is to fold.
    for (const std::string& own : ownFiles_)
        if (SameNameIgnoringCase(NameOf(own), name) && host_.SameFile(own, folder + name))
            return true;
    return false;
}

void BuildContext::Message(MessageKind kind, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    host_.ShowMessage(kind, text);
}

void BuildContext::ProjectReadError() {
    Message(MessageKind::kProjectRead, "Error reading from zekfile !");
}

void BuildContext::TempFileError() {
    // Read first: anything shown or closed would replace the reason.
    unsigned long code = 0;
    std::string reason;
    host_.SystemReason(&code, &reason);
    Message(MessageKind::kSystem, "Error writing the temporary files of the build (error %lu) : %s",
            code, reason.c_str());
    ReportError(kErrorTempFile);
}

bool BuildTempFile::Create() {
    Remove();
    std::string path;
    if (!build_.host().MakeTempFile(&path)) return false;
    path_ = path;
    build_.NoteOwnFile(path_);
    return true;
}

void BuildTempFile::Remove() {
    if (path_.empty()) return;
    build_.host().RemoveFile(path_);
    path_.clear();
}

}  // namespace builder
