#include "platform/file_exception.h"

#include <utility>

namespace {

// By cause, 0..14.
constexpr const char16_t* kCauseTexts[] = {
    u"未发生错误。",
    u"访问 %1 时发生未知错误。",
    u"没有找到 %1。",
    u"%1 包含错误的路径。",
    u"无法打开 %1，因为打开的文件太多。",
    u"对 %1 的访问被拒绝。",
    u"与 %1 相关联的文件句柄不正确。",
    u"无法删除 %1，因为它是当前目录。",
    u"该目录已满，无法创建 %1。",
    u"对 %1 进行查找失败。",
    u"访问 %1 时遇到硬件 I/O 错误。",
    u"访问 %1 时遇到共享冲突。",
    u"访问 %1 时遇到锁定冲突。",
    u"访问 %1 时磁盘已满。",
    u"试图访问 %1 时超过它的结尾。",
};

constexpr size_t kMaxMessage = 511;

}  // namespace

WString FileErrorMessage(FileCause cause, const WString& fileName) {
    const size_t index = static_cast<size_t>(cause);
    const WStringView text = index < sizeof kCauseTexts / sizeof kCauseTexts[0]
                                 ? kCauseTexts[index]
                                 : kCauseTexts[static_cast<size_t>(FileCause::Generic)];
    WString message;
    const size_t at = text.find(u"%1");
    if (at == WStringView::npos) {
        message.assign(text);
    } else {
        message.reserve(text.size() + fileName.size());
        message.append(text.substr(0, at)).append(fileName).append(text.substr(at + 2));
    }
    if (message.size() > kMaxMessage) {
        size_t cut = kMaxMessage;
        // Never keep half of a surrogate pair.
        if (message[cut - 1] >= 0xD800 && message[cut - 1] <= 0xDBFF) --cut;
        message.resize(cut);
    }
    return message;
}

void CFile::OpenReadWrite(const WString& path) {
    using namespace platform;
    if (int error = file_.Open(path, Access::ReadWrite, Share::None, Disposition::OpenExisting))
        throw CFileException::FromOsError(error, path);
    fullPath_ = platform::FullPath(path);
}

uint64_t CFile::GetLength() {
    uint64_t length = 0;
    if (int error = file_.Length(length)) Fail(error);
    return length;
}

size_t CFile::Read(void* buffer, size_t size) {
    size_t got = 0;
    if (int error = file_.Read(buffer, size, got)) Fail(error);
    return got;
}

void CFile::Seek(uint64_t offset) {
    if (int error = file_.Seek(offset)) Fail(error);
}

void CFile::SetLength(uint64_t length) {
    if (int error = file_.SetLength(length)) Fail(error);
}

void CFile::Write(const void* buffer, size_t size) {
    if (int error = file_.Write(buffer, size)) Fail(error);
}

void CFile::Close() {
    if (int error = file_.Close()) Fail(error);
}

void CFile::Fail(int osError) const { throw CFileException::FromOsError(osError, fullPath_); }
