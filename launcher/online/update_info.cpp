#include "launcher/online/update_info.h"

#include <utility>

namespace kestrow {

UpdateInfo& UpdateInfo::Get() {
    static UpdateInfo* info = new UpdateInfo;
    return *info;
}

void UpdateInfo::Set(std::wstring latestVersion, std::wstring downloadUrl) {
    Texts fresh{std::move(latestVersion), std::move(downloadUrl)};
    std::lock_guard<std::mutex> hold(lock_);
    std::swap(texts_, fresh);
}

UpdateInfo::Texts UpdateInfo::Read() const {
    std::lock_guard<std::mutex> hold(lock_);
    return texts_;
}

}  // namespace kestrow
